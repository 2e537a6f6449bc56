#include "sim/answer_builder.h"

#include "protocol/protocol_constants.h"
#include "records/module_records.h"

namespace qrv::sim {

using namespace protocol;

namespace {

// An answer of `length` bytes with its start byte, command echo and (unless
// the layout has none) end byte in place; the fields go in by position.
Bytes Shell(Family family, std::uint8_t command, std::size_t length, bool endByte = true) {
    Bytes out(length, 0);
    out[0] = StartByte(family);
    out[kAnswerEchoAt] = command;
    if (endByte) out[length - 1] = EndByte(family);
    return out;
}

void PutWord(Bytes& out, std::size_t at, std::uint16_t value) { WriteBigEndian16(out.data() + at, value); }

Bytes StepAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t word, std::uint8_t status) {
    Bytes out = Shell(Family::Config, command, kAnswerLenAddrTypeCommand);
    PutWord(out, kStepAnswerAddrAt, addr);
    PutWord(out, kStepAnswerWordAt, word);
    out[kStepAnswerStatusAt] = status;
    return out;
}

}  // namespace

Bytes BuildBaseInfoAnswer(const ModuleBase& base) {
    Bytes out = Shell(Family::Config, kCmdReadBaseInfo, kAnswerLenBaseInfo);
    PutWord(out, kBaseInfoAddrAt, base.NetAddr);
    PutWord(out, kBaseInfoTypeAt, base.DevType);
    out[kBaseInfoRunStateAt] = base.RunState;
    PutWord(out, kBaseInfoFwAt, base.FwVersion);
    return out;
}

Bytes BuildPropertyAnswer(std::uint16_t addr, std::uint8_t offset, std::uint8_t count, const ModuleProperty& record) {
    // The record fills the frame to its last byte: there is no end byte.
    Bytes out = Shell(Family::Config, kCmdReadProperty, kAnswerLenProperty, false);
    PutWord(out, kPropertyAnswerAddrAt, addr);
    out[kPropertyAnswerOffsetAt] = offset;
    out[kPropertyAnswerCountAt] = count;
    PropertyToWire(record, out.data() + kAnswerPropertyOffset);
    return out;
}

Bytes BuildWritePropertyAnswer(std::uint16_t addr, std::uint8_t status) {
    Bytes out = Shell(Family::Config, kCmdWriteProperty, kAnswerLenWriteProperty);
    PutWord(out, kWriteAnswerAddrAt, addr);
    out[kWriteAnswerStatusAt] = status;
    return out;
}

Bytes BuildTuneAnswer(std::uint8_t status) {
    Bytes out = Shell(Family::Config, kCmdTuneRadio, kAnswerLenTune);
    out[kTuneAnswerStatusAt] = status;
    return out;
}

Bytes BuildSearchAnswer(std::uint8_t command, const ModuleBase& base) {
    Bytes out = Shell(Family::Config, command, kAnswerLenSearch);
    PutWord(out, kSearchAnswerAddrAt, base.NetAddr);
    PutWord(out, kSearchAnswerTypeAt, base.DevType);
    out[kSearchAnswerRunStateAt] = base.RunState;
    return out;
}

Bytes BuildAddrTypeAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t status) {
    return StepAnswer(command, addr, type, status);
}

// The echoed offset stands where the other steps echo the device type.
Bytes BuildFirmwareBlockAnswer(std::uint16_t addr, std::uint16_t offset, std::uint8_t status) {
    return StepAnswer(kCmdFirmwareBlock, addr, offset, status);
}

Bytes BuildIoStatusAnswer(std::uint8_t command, std::uint16_t addr, std::uint8_t status) {
    Bytes out = Shell(Family::Io, command, kAnswerLenIoWrite);
    PutWord(out, kIoAnswerAddrAt, addr);
    out[kIoAnswerByteAt] = status;
    return out;
}

Bytes BuildIoInputsAnswer(std::uint16_t addr, std::uint8_t lines) {
    Bytes out = Shell(Family::Io, kIoCmdReadInputs, kAnswerLenIoInputs);
    PutWord(out, kIoAnswerAddrAt, addr);
    out[kIoAnswerByteAt] = lines;
    return out;
}

Bytes BuildAdAnswer(std::uint16_t addr, const AdValues& millivolts) {
    Bytes out = Shell(Family::Io, kIoCmdReadAd, kAnswerLenAd);
    PutWord(out, kIoAnswerAddrAt, addr);
    for (std::size_t i = 0; i < millivolts.size(); ++i) PutWord(out, kAdBlockAt + 2 * i, millivolts[i]);
    return out;
}

}  // namespace qrv::sim
