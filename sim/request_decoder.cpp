#include "sim/request_decoder.h"

#include <algorithm>
#include <cstring>

namespace qrv::sim {

using namespace protocol;

namespace {

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
    const protocol::CommandInfo* info = protocol::FindCommand(command);
    return info ? info->requestLength : 0;
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
    if (key == ConfigKey(kCmdFirmwareBlock)) {
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
