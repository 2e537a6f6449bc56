// Answers a module gives, built for tests from records (16-bit fields high
// byte first), so scripted fakes speak the real protocol.
#pragma once

#include <cstring>

#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "records/module_records.h"
#include "support/fake_module.h"

namespace qrv::test {

inline Bytes BaseInfoAnswer(const ModuleBase& base) {
    Bytes rx(protocol::kAnswerLenBaseInfo, 0);
    rx[0] = protocol::kConfigStart;
    rx[1] = protocol::kCmdReadBaseInfo;
    WriteBigEndian16(&rx[2], base.NetAddr);
    WriteBigEndian16(&rx[4], base.DevType);
    rx[6] = base.RunState;
    WriteBigEndian16(&rx[7], base.FwVersion);
    rx[9] = protocol::kConfigEnd;
    return rx;
}

inline Bytes PropertyAnswer(std::uint16_t addr, const ModuleProperty& record) {
    Bytes rx(protocol::kAnswerLenProperty, 0);
    rx[0] = protocol::kConfigStart;
    rx[1] = protocol::kCmdReadProperty;
    WriteBigEndian16(&rx[2], addr);
    rx[5] = protocol::kPropertyWireCount;
    PropertyToWire(record, &rx[protocol::kAnswerPropertyOffset]);
    return rx;
}

inline Bytes WriteAck(std::uint8_t status = 0) { return {0xAB, 0xD3, 0, 0, status, 0xBA}; }

inline Bytes FactoryResetAck(std::uint8_t status = 0) { return {0xAB, 0xDB, 0, 0, 0, 0, status, 0xBA}; }

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
