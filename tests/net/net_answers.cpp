#include "net_answers.h"

#include <cstring>

#include "records/module_records.h"
#include "sim/answer_builder.h"

namespace qrv::test {

using namespace protocol;


Bytes ToBytes(const Frame& frame) { return Bytes(frame.bytes.begin(), frame.bytes.begin() + frame.size); }

// The simulator's answer builders are the one module-side encoding; the
// scripted fakes speak through them too.
Bytes TuneAck(std::uint8_t status) { return sim::BuildTuneAnswer(status); }

Bytes SearchAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t runState) {
    return sim::BuildSearchAnswer(command, ModuleBase{addr, type, runState, 0});
}

Bytes PropertyAnswer(std::uint16_t addr, const ModuleProperty& record) {
    return sim::BuildPropertyAnswer(addr, kPropertyOffsetAll, kPropertyWireCount, record);
}

Bytes WriteAck(std::uint16_t addr, std::uint8_t status) { return sim::BuildWritePropertyAnswer(addr, status); }

Bytes StepAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t status) {
    return sim::BuildAddrTypeAnswer(command, addr, type, status);
}

Bytes BlockAck(std::uint16_t addr, std::uint16_t offset, std::uint8_t status) {
    return sim::BuildFirmwareBlockAnswer(addr, offset, status);
}

Bytes IoWriteAck(std::uint8_t command, std::uint16_t addr, std::uint8_t status) {
    return sim::BuildIoStatusAnswer(command, addr, status);
}

Bytes IoInputsAnswer(std::uint16_t addr, std::uint8_t lines) { return sim::BuildIoInputsAnswer(addr, lines); }

Bytes AdAnswer(std::uint16_t addr, const std::vector<std::uint8_t>& block8) {
    sim::AdValues millivolts{};
    for (std::size_t i = 0; i < millivolts.size() && 2 * i + 1 < block8.size(); ++i)
        millivolts[i] = ReadBigEndian16(&block8[2 * i]);
    return sim::BuildAdAnswer(addr, millivolts);
}

ModuleProperty SampleRecord(std::uint16_t localAddr, std::uint8_t channel, std::uint8_t rate) {
    ModuleProperty record{};
    std::strcpy(record.DevName, "far-node");
    std::strcpy(record.Password, "1234");
    record.WorkMode = 2;
    record.Channel = channel;
    record.NetId = 0x0C0D;
    record.LocalAddr = localAddr;
    record.DestAddr = 0x0001;
    record.AirRate = rate;
    record.TxPower = 0x12;
    record.RetryCount = 3;
    record.RetryInterval = 500;
    record.UartBaud = 5;
    record.UartDataBits = 8;
    record.RunState = 0xAA;
    record.DevType = 0x0012;
    record.FwVersion = 0x0123;
    return record;
}

}  // namespace qrv::test
