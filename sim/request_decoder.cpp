#include "sim/request_decoder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace qrv::sim {

using namespace protocol;

namespace {

constexpr CommandKey Config(std::uint8_t code) { return {Family::Config, code}; }
constexpr CommandKey Io(std::uint8_t code) { return {Family::Io, code}; }

struct CommandInfo {
    CommandKey key;
    std::size_t length;
    const char* name;
};

constexpr CommandInfo kCommands[] = {
    {Config(kCmdReadBaseInfo), kLenReadBaseInfo, "read-base-info"},
    {Config(kCmdReadProperty), kLenReadProperty, "read-property"},
    {Config(kCmdWriteProperty), kLenWriteProperty, "write-property"},
    {Config(kCmdTuneRadio), kLenTuneRadio, "tune-radio"},
    {Config(kCmdSearchBroadcast), kLenSearchBroadcast, "search-broadcast"},
    {Config(kCmdSearchByAddr), kLenSearchByAddr, "search-by-addr"},
    {Config(kCmdResetModule), kLenAddrTypeCommand, "reset"},
    {Config(kCmdEnterUpdate), kLenAddrTypeCommand, "enter-update"},
    {Config(kCmdFirmwareBlock), kLenBlockFirstRegion, "firmware-block"},
    {Config(kCmdFinishUpdate), kLenAddrTypeCommand, "finish-update"},
    {Config(kCmdFactoryReset), kLenAddrTypeCommand, "factory-reset"},
    {Io(kIoCmdSetDirections), kLenIoWrite, "io-set-directions"},
    {Io(kIoCmdSetOutputs), kLenIoWrite, "io-set-outputs"},
    {Io(kIoCmdReadInputs), kLenIoRead, "io-read-inputs"},
    {Io(kIoCmdReadAd), kLenIoRead, "io-read-ad"},
};

const CommandInfo* Find(CommandKey key) {
    for (const auto& info : kCommands)
        if (info.key == key) return &info;
    return nullptr;
}

bool IsStartByte(std::uint8_t byte) { return byte == kConfigStart || byte == kIoStart; }

DecodeResult Skip(std::size_t count) { return {DecodeStatus::Skip, count, {}}; }
DecodeResult NeedMore() { return {DecodeStatus::NeedMore, 0, {}}; }

// Fills the command-specific fields; the frame's length and end bytes have
// been checked already. 16-bit fields travel high byte first.
Request Parse(std::span<const std::uint8_t> frame, CommandKey key) {
    Request r;
    r.command = key;
    r.length = frame.size();
    const std::uint8_t* b = frame.data();
    if (key.family == Family::Io) {
        r.addr = ReadBigEndian16(b + 2);
        if (frame.size() == kLenIoWrite) r.value = b[4];
        return r;
    }
    switch (key.code) {
        case kCmdReadProperty:
            r.addr = ReadBigEndian16(b + 2);
            r.offset = b[4];
            r.count = b[5];
            break;
        case kCmdWriteProperty:
            r.addr = ReadBigEndian16(b + 2);
            r.offset = b[4];
            r.count = b[5];
            std::memcpy(r.record.data(), b + 6, kWritablePropertySize);
            break;
        case kCmdTuneRadio:
            r.channel = b[2];
            r.rate = b[3];
            break;
        case kCmdSearchByAddr:
            r.addr = ReadBigEndian16(b + 2);
            break;
        case kCmdResetModule:
        case kCmdEnterUpdate:
        case kCmdFinishUpdate:
        case kCmdFactoryReset:
            r.addr = ReadBigEndian16(b + 2);
            r.type = ReadBigEndian16(b + 4);
            break;
        case kCmdFirmwareBlock:
            r.addr = ReadBigEndian16(b + 2);
            r.blockOffset = ReadBigEndian16(b + 4);
            std::memcpy(r.block.data(), b + 6, kFirmwareBlockSize);
            r.region = frame.size() == kLenBlockSecondRegion ? FirmwareRegion::Second : FirmwareRegion::First;
            break;
        default:
            break;
    }
    return r;
}

}  // namespace

bool Request::HasAddress() const {
    if (command.family == Family::Io) return true;
    return command.code != kCmdReadBaseInfo && command.code != kCmdTuneRadio && command.code != kCmdSearchBroadcast;
}

std::size_t RequestLength(CommandKey command) {
    const CommandInfo* info = Find(command);
    return info ? info->length : 0;
}

std::string CommandName(CommandKey command) {
    if (const CommandInfo* info = Find(command)) return info->name;
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X 0x%02X", command.family == Family::Io ? kIoStart : kConfigStart,
                  command.code);
    return text;
}

DecodeResult DecodeRequest(std::span<const std::uint8_t> bytes, bool lineIdle) {
    if (bytes.empty()) return NeedMore();
    if (!IsStartByte(bytes[0])) {
        // Resynchronise: drop everything up to the next byte that can start a frame.
        auto next = std::find_if(bytes.begin() + 1, bytes.end(), IsStartByte);
        return Skip(static_cast<std::size_t>(next - bytes.begin()));
    }
    if (bytes.size() < 2) return NeedMore();
    const CommandKey key{bytes[0] == kConfigStart ? Family::Config : Family::Io, bytes[1]};
    const std::size_t length = RequestLength(key);
    if (length == 0) return Skip(1);
    if (bytes.size() < length) return NeedMore();

    std::size_t frameLength = length;
    if (key == Config(kCmdFirmwareBlock)) {
        if (bytes[kLenBlockFirstRegion - 1] != kBlockMarker) return Skip(1);
        if (bytes.size() > kLenBlockFirstRegion) {
            if (bytes[kLenBlockFirstRegion] == kConfigEnd) frameLength = kLenBlockSecondRegion;
        } else if (!lineIdle) {
            return NeedMore();
        }
    } else {
        const std::uint8_t end = key.family == Family::Config ? kConfigEnd : kIoEnd;
        if (bytes[length - 1] != end) return Skip(1);
    }
    return {DecodeStatus::Frame, frameLength, Parse(bytes.first(frameLength), key)};
}

}  // namespace qrv::sim
