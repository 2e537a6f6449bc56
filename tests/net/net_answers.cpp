#include "net_answers.h"

#include <cstring>

#include "records/module_records.h"

namespace qrv::test {

using namespace protocol;

namespace {
void PutWord(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}
}  // namespace

Bytes ToBytes(const Frame& frame) { return Bytes(frame.bytes.begin(), frame.bytes.begin() + frame.size); }

Bytes TuneAck(std::uint8_t status) { return {kConfigStart, kCmdTuneRadio, status, kConfigEnd}; }

Bytes SearchAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t runState) {
    Bytes bytes{kConfigStart, command};
    PutWord(bytes, addr);
    PutWord(bytes, type);
    bytes.push_back(runState);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes PropertyAnswer(std::uint16_t addr, const ModuleProperty& record) {
    Bytes bytes{kConfigStart, kCmdReadProperty};
    PutWord(bytes, addr);
    bytes.push_back(kPropertyOffsetAll);
    bytes.push_back(kPropertyWireCount);
    std::uint8_t wire[kPropertySize];
    PropertyToWire(record, wire);
    bytes.insert(bytes.end(), wire, wire + kPropertySize);
    return bytes;
}

Bytes WriteAck(std::uint16_t addr, std::uint8_t status) {
    Bytes bytes{kConfigStart, kCmdWriteProperty};
    PutWord(bytes, addr);
    bytes.push_back(status);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes StepAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t status) {
    Bytes bytes{kConfigStart, command};
    PutWord(bytes, addr);
    PutWord(bytes, type);
    bytes.push_back(status);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes BlockAck(std::uint16_t addr, std::uint16_t offset, std::uint8_t status) {
    Bytes bytes{kConfigStart, kCmdFirmwareBlock};
    PutWord(bytes, addr);
    PutWord(bytes, offset);
    bytes.push_back(status);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes IoWriteAck(std::uint8_t command, std::uint16_t addr, std::uint8_t status) {
    Bytes bytes{kIoStart, command};
    PutWord(bytes, addr);
    bytes.push_back(status);
    bytes.push_back(kIoEnd);
    return bytes;
}

Bytes IoInputsAnswer(std::uint16_t addr, std::uint8_t lines) {
    Bytes bytes{kIoStart, kIoCmdReadInputs};
    PutWord(bytes, addr);
    bytes.push_back(lines);
    bytes.push_back(kIoEnd);
    return bytes;
}

Bytes AdAnswer(std::uint16_t addr, const std::vector<std::uint8_t>& block8) {
    Bytes bytes{kIoStart, kIoCmdReadAd};
    PutWord(bytes, addr);
    bytes.insert(bytes.end(), block8.begin(), block8.end());
    bytes.push_back(kIoEnd);
    return bytes;
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

void CapturedMessages::Handler(int kind, const char* text, void* user) {
    static_cast<CapturedMessages*>(user)->shown.emplace_back(kind, text);
}

}  // namespace qrv::test
