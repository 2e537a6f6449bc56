#include "sim/answer_builder.h"

#include "protocol/protocol_constants.h"
#include "records/module_records.h"

namespace qrv::sim {

using namespace protocol;

namespace {

void PutWord(Bytes& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}


// AB cmd word word status BA (8 bytes).
Bytes TwoWordStatusAnswer(std::uint8_t command, std::uint16_t first, std::uint16_t second, std::uint8_t status) {
    Bytes out{kConfigStart, command};
    PutWord(out, first);
    PutWord(out, second);
    out.push_back(status);
    out.push_back(kConfigEnd);
    return out;
}
}  // namespace

Bytes BuildBaseInfoAnswer(const ModuleBase& base) {
    Bytes out{kConfigStart, kCmdReadBaseInfo};
    PutWord(out, base.NetAddr);
    PutWord(out, base.DevType);
    out.push_back(base.RunState);
    PutWord(out, base.FwVersion);
    out.push_back(kConfigEnd);
    return out;
}

Bytes BuildPropertyAnswer(std::uint16_t addr, std::uint8_t offset, std::uint8_t count, const ModuleProperty& record) {
    Bytes out{kConfigStart, kCmdReadProperty};
    PutWord(out, addr);
    out.push_back(offset);
    out.push_back(count);
    std::uint8_t wire[kPropertySize];
    PropertyToWire(record, wire);
    out.insert(out.end(), wire, wire + kPropertySize);
    return out;
}

Bytes BuildWritePropertyAnswer(std::uint16_t addr, std::uint8_t status) {
    Bytes out{kConfigStart, kCmdWriteProperty};
    PutWord(out, addr);
    out.push_back(status);
    out.push_back(kConfigEnd);
    return out;
}

Bytes BuildTuneAnswer(std::uint8_t status) { return {kConfigStart, kCmdTuneRadio, status, kConfigEnd}; }

Bytes BuildSearchAnswer(std::uint8_t command, const ModuleBase& base) {
    Bytes out{kConfigStart, command};
    PutWord(out, base.NetAddr);
    PutWord(out, base.DevType);
    out.push_back(base.RunState);
    out.push_back(kConfigEnd);
    return out;
}

Bytes BuildAddrTypeAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t status) {
    return TwoWordStatusAnswer(command, addr, type, status);
}

// The block answer has the same shape: the echoed offset stands where the
// other commands echo the device type.
Bytes BuildFirmwareBlockAnswer(std::uint16_t addr, std::uint16_t offset, std::uint8_t status) {
    return TwoWordStatusAnswer(kCmdFirmwareBlock, addr, offset, status);
}

Bytes BuildIoStatusAnswer(std::uint8_t command, std::uint16_t addr, std::uint8_t status) {
    Bytes out{kIoStart, command};
    PutWord(out, addr);
    out.push_back(status);
    out.push_back(kIoEnd);
    return out;
}

Bytes BuildIoInputsAnswer(std::uint16_t addr, std::uint8_t lines) {
    Bytes out{kIoStart, kIoCmdReadInputs};
    PutWord(out, addr);
    out.push_back(lines);
    out.push_back(kIoEnd);
    return out;
}

Bytes BuildAdAnswer(std::uint16_t addr, const AdValues& millivolts) {
    Bytes out{kIoStart, kIoCmdReadAd};
    PutWord(out, addr);
    for (std::uint16_t value : millivolts) PutWord(out, value);
    out.push_back(kIoEnd);
    return out;
}

std::optional<std::size_t> StatusPosition(CommandKey command) {
    if (command.family == Family::Io) {
        if (command.code == kIoCmdSetDirections || command.code == kIoCmdSetOutputs) return 4;
        return std::nullopt;
    }
    switch (command.code) {
        case kCmdWriteProperty:
            return 4;
        case kCmdTuneRadio:
            return 2;
        case kCmdEnterUpdate:
        case kCmdFirmwareBlock:
        case kCmdFinishUpdate:
        case kCmdFactoryReset:
            return 6;
        default:
            return std::nullopt;
    }
}

}  // namespace qrv::sim
