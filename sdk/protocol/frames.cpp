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

namespace {

// The steps of every answer check, bounds first: each returns a refusal,
// or an empty verdict (None) to go on with the next step.
Verdict Refused(Refusal why, Answer rx, std::size_t expected, std::size_t found, bool atLeast = false) {
    // Lengths are bounded by the 1024-byte answer buffer.
    return Verdict{why, rx.size, static_cast<std::uint32_t>(expected), static_cast<std::uint32_t>(found), atLeast};
}

Verdict Length(Answer rx, std::size_t exactly) {
    if (rx.size == 0) return Refused(Refusal::NoAnswer, rx, 0, 0);
    if (rx.size != exactly) return Refused(Refusal::WrongLength, rx, exactly, rx.size);
    return {};
}

Verdict MinLength(Answer rx, std::size_t atLeast) {
    if (rx.size == 0) return Refused(Refusal::NoAnswer, rx, 0, 0);
    if (rx.size < atLeast) return Refused(Refusal::WrongLength, rx, atLeast, rx.size, true);
    return {};
}

Verdict Echo(Answer rx, std::uint8_t command) {
    const std::uint8_t echo = rx.bytes[kAnswerEchoAt];
    if (echo != command) return Refused(Refusal::WrongEcho, rx, command, echo);
    return {};
}

Verdict Status(Answer rx, std::size_t at) {
    if (rx.bytes[at] != kStatusOk) return Refused(Refusal::Status, rx, kStatusOk, rx.bytes[at]);
    return {};
}

Verdict Accepted(Answer rx) { return Verdict{Refusal::None, rx.size, 0, 0, false}; }

// Runs the steps in order and stops at the first refusal.
template <typename... Steps>
Verdict Judge(Answer rx, Steps... steps) {
    Verdict verdict;
    const bool passed = (... && (verdict = steps()).Ok());
    return passed ? Accepted(rx) : verdict;
}

}  // namespace

Verdict ParseBaseInfoAnswer(Answer rx, ModuleBase& out) {
    const Verdict verdict = Judge(
        rx, [&] { return Length(rx, kAnswerLenBaseInfo); }, [&] { return Echo(rx, kCmdReadBaseInfo); });
    if (!verdict.Ok()) return verdict;
    out.NetAddr = ReadBigEndian16(rx.bytes + kBaseInfoAddrAt);
    out.DevType = ReadBigEndian16(rx.bytes + kBaseInfoTypeAt);
    out.RunState = rx.bytes[kBaseInfoRunStateAt];
    out.FwVersion = ReadBigEndian16(rx.bytes + kBaseInfoFwAt);
    return verdict;
}

Verdict ParsePropertyAnswer(Answer rx, ModuleProperty& out) {
    const Verdict verdict = Judge(
        rx, [&] { return MinLength(rx, kAnswerLenProperty); }, [&] { return Echo(rx, kCmdReadProperty); });
    if (verdict.Ok()) out = PropertyFromWire(rx.bytes + kAnswerPropertyOffset);
    return verdict;
}

Verdict CheckWritePropertyAnswer(Answer rx) {
    return Judge(
        rx, [&] { return Length(rx, kAnswerLenWriteProperty); }, [&] { return Echo(rx, kCmdWriteProperty); },
        [&] { return Status(rx, kWriteAnswerStatusAt); });
}

Verdict CheckTuneAnswer(Answer rx) {
    return Judge(
        rx, [&] { return MinLength(rx, kTuneAnswerStatusAt + 1); }, [&] { return Echo(rx, kCmdTuneRadio); },
        [&] { return Status(rx, kTuneAnswerStatusAt); });
}

Verdict ParseSearchAnswer(Answer rx, std::uint8_t command, ModuleBase& out) {
    const Verdict verdict =
        Judge(rx, [&] { return Length(rx, kAnswerLenSearch); }, [&] { return Echo(rx, command); });
    if (!verdict.Ok()) return verdict;
    out.NetAddr = ReadBigEndian16(rx.bytes + kSearchAnswerAddrAt);
    out.DevType = ReadBigEndian16(rx.bytes + kSearchAnswerTypeAt);
    out.RunState = rx.bytes[kSearchAnswerRunStateAt];
    out.FwVersion = 0;
    return verdict;
}

Verdict CheckUpdateStepAnswer(Answer rx) {
    return Judge(
        rx, [&] { return Length(rx, kAnswerLenAddrTypeCommand); }, [&] { return Status(rx, kStepAnswerStatusAt); });
}

Verdict CheckFirmwareBlockAnswer(Answer rx, std::uint16_t addr, std::uint16_t offset) {
    const auto echoed = [&rx](std::size_t at) { return ReadBigEndian16(rx.bytes + at); };
    return Judge(
        rx, [&] { return MinLength(rx, kStepAnswerStatusAt + 1); }, [&] { return Echo(rx, kCmdFirmwareBlock); },
        [&] {
            const std::uint16_t got = echoed(kStepAnswerAddrAt);
            return got == addr ? Verdict{} : Refused(Refusal::WrongAddress, rx, addr, got);
        },
        [&] {
            const std::uint16_t got = echoed(kStepAnswerWordAt);
            return got == offset ? Verdict{} : Refused(Refusal::WrongOffset, rx, offset, got);
        },
        [&] { return Status(rx, kStepAnswerStatusAt); });
}

Verdict CheckFactoryResetAnswer(Answer rx) {
    return Judge(
        rx, [&] { return Length(rx, kAnswerLenAddrTypeCommand); }, [&] { return Echo(rx, kCmdFactoryReset); },
        [&] { return Status(rx, kStepAnswerStatusAt); });
}

Verdict CheckIoSetDirectionsAnswer(Answer rx, bool requireStatus) {
    return Judge(
        rx, [&] { return Length(rx, kAnswerLenIoWrite); },
        [&] { return requireStatus ? Status(rx, kIoAnswerByteAt) : Verdict{}; });
}

Verdict CheckIoSetOutputsAnswer(Answer rx) {
    return Judge(
        rx, [&] { return Length(rx, kAnswerLenIoWrite); }, [&] { return Status(rx, kIoAnswerByteAt); });
}

Verdict ParseIoInputsAnswer(Answer rx, std::uint8_t& lines) {
    const Verdict verdict = Judge(
        rx, [&] { return Length(rx, kAnswerLenIoInputs); },
        [&] {
            const std::uint8_t first = rx.bytes[0];
            const std::uint8_t last = rx.bytes[kAnswerLenIoInputs - 1];
            if (first == kIoStart && last == kIoEnd) return Verdict{};
            return Refused(Refusal::WrongFraming, rx, std::uint32_t{kIoStart} << 8 | kIoEnd,
                           std::uint32_t{first} << 8 | last);
        },
        [&] { return Echo(rx, kIoCmdReadInputs); });
    if (verdict.Ok()) lines = rx.bytes[kIoAnswerByteAt];
    return verdict;
}

Verdict ParseAdAnswer(Answer rx, std::uint8_t (&block)[kAdBlockSize]) {
    const Verdict verdict = Judge(rx, [&] { return Length(rx, kAnswerLenAd); });
    if (verdict.Ok()) std::memcpy(block, rx.bytes + kAdBlockAt, kAdBlockSize);
    return verdict;
}

}  // namespace qrv::protocol
