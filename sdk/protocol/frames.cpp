#include "protocol/frames.h"

#include <cstring>

#include "records/module_records.h"

namespace qrv::protocol {

namespace {

// Appends bytes to a frame under construction; sizes are fixed per command
// and all below kMaxRequestLen, so no bounds can be exceeded.
class FrameWriter {
public:
    FrameWriter& Byte(std::uint8_t value) {
        frame_.bytes[frame_.size++] = value;
        return *this;
    }
    // 16-bit fields travel high byte first.
    FrameWriter& Word(std::uint16_t value) {
        WriteBigEndian16(&frame_.bytes[frame_.size], value);
        frame_.size += 2;
        return *this;
    }
    FrameWriter& Bytes(const std::uint8_t* data, std::size_t count) {
        std::memcpy(&frame_.bytes[frame_.size], data, count);
        frame_.size += count;
        return *this;
    }
    Frame Done() const { return frame_; }

private:
    Frame frame_;
};

Frame AddrTypeCommand(std::uint8_t command, std::uint16_t addr, std::uint16_t type) {
    return FrameWriter().Byte(kConfigStart).Byte(command).Word(addr).Word(type).Byte(kConfigEnd).Done();
}

Frame IoCommand(std::uint8_t command, std::uint16_t addr) {
    return FrameWriter().Byte(kIoStart).Byte(command).Word(addr).Byte(kIoEnd).Done();
}

Frame IoCommand(std::uint8_t command, std::uint16_t addr, std::uint8_t value) {
    return FrameWriter().Byte(kIoStart).Byte(command).Word(addr).Byte(value).Byte(kIoEnd).Done();
}

bool HasAt(Answer rx, std::size_t index, std::uint8_t value) { return rx.size > index && rx.bytes[index] == value; }

}  // namespace

Frame BuildReadBaseInfo() { return FrameWriter().Byte(kConfigStart).Byte(kCmdReadBaseInfo).Byte(kConfigEnd).Done(); }

Frame BuildReadProperty(std::uint16_t addr, std::uint8_t offset, std::uint8_t length) {
    // The count excludes the five read-only bytes at the end of the record.
    return FrameWriter()
        .Byte(kConfigStart)
        .Byte(kCmdReadProperty)
        .Word(addr)
        .Byte(offset)
        .Byte(static_cast<std::uint8_t>(length - 5))
        .Byte(kConfigEnd)
        .Done();
}

Frame BuildWriteProperty(std::uint16_t addr, const ModuleProperty& record) {
    std::uint8_t wire[kPropertySize];
    PropertyToWire(record, wire);
    return FrameWriter()
        .Byte(kConfigStart)
        .Byte(kCmdWriteProperty)
        .Word(addr)
        .Byte(kPropertyOffsetAll)
        .Byte(kPropertyWireCount)
        .Bytes(wire, kWritablePropertySize)
        .Byte(kConfigEnd)
        .Done();
}

Frame BuildTuneRadio(std::uint8_t channel, std::uint8_t rate) {
    return FrameWriter().Byte(kConfigStart).Byte(kCmdTuneRadio).Byte(channel).Byte(rate).Byte(kConfigEnd).Done();
}

Frame BuildSearchBroadcast() {
    return FrameWriter().Byte(kConfigStart).Byte(kCmdSearchBroadcast).Byte(kConfigEnd).Done();
}

Frame BuildSearchByAddr(std::uint16_t addr) {
    return FrameWriter().Byte(kConfigStart).Byte(kCmdSearchByAddr).Word(addr).Byte(kConfigEnd).Done();
}

Frame BuildResetModule(std::uint16_t addr, std::uint16_t type) { return AddrTypeCommand(kCmdResetModule, addr, type); }
Frame BuildEnterUpdate(std::uint16_t addr, std::uint16_t type) { return AddrTypeCommand(kCmdEnterUpdate, addr, type); }
Frame BuildFinishUpdate(std::uint16_t addr, std::uint16_t type) { return AddrTypeCommand(kCmdFinishUpdate, addr, type); }
Frame BuildFactoryReset(std::uint16_t addr, std::uint16_t type) { return AddrTypeCommand(kCmdFactoryReset, addr, type); }

Frame BuildFirmwareBlock(std::uint16_t addr, std::uint16_t offset, const std::uint8_t (&data)[kFirmwareBlockSize],
                         FirmwareRegion region) {
    // First-region blocks end with the marker alone (71 bytes); second-region
    // blocks add the family's end byte (72 bytes).
    FrameWriter writer;
    writer.Byte(kConfigStart).Byte(kCmdFirmwareBlock).Word(addr).Word(offset).Bytes(data, kFirmwareBlockSize);
    writer.Byte(kBlockMarker);
    if (region == FirmwareRegion::Second) writer.Byte(kConfigEnd);
    return writer.Done();
}

Frame BuildIoSetDirections(std::uint16_t addr, std::uint8_t directions) {
    return IoCommand(kIoCmdSetDirections, addr, directions);
}
Frame BuildIoSetOutputs(std::uint16_t addr, std::uint8_t outputs) { return IoCommand(kIoCmdSetOutputs, addr, outputs); }
Frame BuildIoReadInputs(std::uint16_t addr) { return IoCommand(kIoCmdReadInputs, addr); }
Frame BuildIoReadAd(std::uint16_t addr) { return IoCommand(kIoCmdReadAd, addr); }

std::optional<ModuleBase> ParseBaseInfoAnswer(Answer rx) {
    if (rx.size != kAnswerLenBaseInfo || rx.bytes[1] != kCmdReadBaseInfo) return std::nullopt;
    ModuleBase base{};
    base.NetAddr = ReadBigEndian16(rx.bytes + 2);
    base.DevType = ReadBigEndian16(rx.bytes + 4);
    base.RunState = rx.bytes[6];
    base.FwVersion = ReadBigEndian16(rx.bytes + 7);
    return base;
}

std::optional<ModuleProperty> ParsePropertyAnswer(Answer rx) {
    if (rx.size < kAnswerLenProperty || rx.bytes[1] != kCmdReadProperty) return std::nullopt;
    return PropertyFromWire(rx.bytes + kAnswerPropertyOffset);
}

bool CheckWritePropertyAnswer(Answer rx) {
    return rx.size == kAnswerLenWriteProperty && rx.bytes[1] == kCmdWriteProperty && rx.bytes[4] == 0;
}

bool CheckTuneAnswer(Answer rx) { return HasAt(rx, 1, kCmdTuneRadio) && HasAt(rx, 2, 0); }

std::optional<ModuleBase> ParseSearchAnswer(Answer rx, std::uint8_t command) {
    if (rx.size != kAnswerLenSearch || rx.bytes[1] != command) return std::nullopt;
    ModuleBase base{};
    base.NetAddr = ReadBigEndian16(rx.bytes + 2);
    base.DevType = ReadBigEndian16(rx.bytes + 4);
    base.RunState = rx.bytes[6];
    base.FwVersion = 0;
    return base;
}

bool CheckUpdateStepAnswer(Answer rx) { return rx.size == kAnswerLenAddrTypeCommand && rx.bytes[6] == 0; }

bool CheckFirmwareBlockAnswer(Answer rx, std::uint16_t addr, std::uint16_t offset) {
    if (rx.size < 7) return false;
    return rx.bytes[1] == kCmdFirmwareBlock && ReadBigEndian16(rx.bytes + 2) == addr &&
           ReadBigEndian16(rx.bytes + 4) == offset && rx.bytes[6] == 0;
}

bool CheckFactoryResetAnswer(Answer rx) {
    return rx.size == kAnswerLenAddrTypeCommand && rx.bytes[1] == kCmdFactoryReset && rx.bytes[6] == 0;
}

bool CheckIoSetDirectionsAnswer(Answer rx, bool requireStatus) {
    if (rx.size != kAnswerLenIoWrite) return false;
    return !requireStatus || rx.bytes[4] == 0;
}

bool CheckIoSetOutputsAnswer(Answer rx) { return rx.size == kAnswerLenIoWrite && rx.bytes[4] == 0; }

std::optional<std::uint8_t> ParseIoInputsAnswer(Answer rx) {
    if (rx.size != kAnswerLenIoInputs || rx.bytes[0] != kIoStart || rx.bytes[1] != kIoCmdReadInputs ||
        rx.bytes[5] != kIoEnd)
        return std::nullopt;
    return rx.bytes[4];
}

bool ParseAdAnswer(Answer rx, std::uint8_t (&block)[kAdBlockSize]) {
    if (rx.size != kAnswerLenAd) return false;
    std::memcpy(block, rx.bytes + 4, kAdBlockSize);
    return true;
}

}  // namespace qrv::protocol
