// Answers a module gives, built for tests from records (16-bit fields high
// byte first), so scripted fakes speak the real protocol.
#pragma once

#include <cstring>

#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "records/module_records.h"
#include "sim/answer_builder.h"
#include "support/fake_module.h"

namespace qrv::test {

// Module-side encoding comes from the simulator's answer builders.
inline Bytes BaseInfoAnswer(const ModuleBase& base) { return sim::BuildBaseInfoAnswer(base); }

inline Bytes PropertyAnswer(std::uint16_t addr, const ModuleProperty& record) {
    return sim::BuildPropertyAnswer(addr, protocol::kPropertyOffsetAll, protocol::kPropertyWireCount, record);
}

inline Bytes WriteAck(std::uint8_t status = 0) { return sim::BuildWritePropertyAnswer(0, status); }

inline Bytes FactoryResetAck(std::uint8_t status = 0) {
    return sim::BuildAddrTypeAnswer(protocol::kCmdFactoryReset, 0, 0, status);
}

inline ModuleBase SampleBase() { return ModuleBase{0x1A2B, kDevTypeQrv, kRunStateUser, 0x0123}; }

inline ModuleProperty SampleProperty() {
    ModuleProperty record{};
    std::strcpy(record.DevName, "bench-1");
    std::strcpy(record.Password, "123456");
    record.WorkMode = 0;
    record.Channel = 11;
    record.NetId = 0x0001;
    record.LocalAddr = 0x1A2B;
    record.DestAddr = 0xFFFF;
    record.AirRate = 0;
    record.TxPower = 0x02;
    record.RetryCount = 3;
    record.RetryInterval = 300;
    record.UartBaud = 7;
    record.UartDataBits = 8;
    record.UartStopBits = 1;
    record.UartParity = 0;
    record.FrameGap = 10;
    record.FrameLen = 64;
    record.RunState = kRunStateUser;
    record.DevType = kDevTypeQrv;
    record.FwVersion = 0x0123;
    return record;
}

}  // namespace qrv::test
