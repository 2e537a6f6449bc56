#include "sim/frame_text.h"

#include <cstdio>

#include "protocol/protocol_constants.h"
#include "records/module_records.h"
#include "sim/answer_builder.h"

namespace qrv::sim {

using namespace protocol;

namespace {

std::string Format(const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

const char* RateName(std::uint8_t rate) {
    switch (rate) {
        case kAirRate250K:
            return "250K";
        case kAirRate500K:
            return "500K";
        case kAirRate1M:
            return "1M";
        default:
            return "?";
    }
}

const char* RunStateName(std::uint8_t state) {
    return state == kRunStateBoot ? "BOOT" : state == kRunStateUser ? "USER" : "NOBOOT";
}

unsigned Word(std::span<const std::uint8_t> b, std::size_t at) { return ReadBigEndian16(b.data() + at); }

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i) text += ' ';
        text += Format("%02X", bytes[i]);
    }
    return text;
}

std::string DescribeRequest(const Request& r) {
    std::string text = CommandName(r.command);
    if (r.command.family == Family::Io) {
        text += Format(" addr=0x%04X", r.addr);
        if (r.length == kLenIoWrite) text += Format(" value=0x%02X", r.value);
        return text;
    }
    switch (r.command.code) {
        case kCmdReadProperty:
            return text + Format(" addr=0x%04X offset=%u count=%u", r.addr, r.offset, r.count);
        case kCmdWriteProperty: {
            const unsigned newAddr = ReadBigEndian16(r.record.data() + offsetof(ModuleProperty, LocalAddr));
            const unsigned channel = r.record[offsetof(ModuleProperty, Channel)];
            const unsigned rate = r.record[offsetof(ModuleProperty, AirRate)];
            return text + Format(" addr=0x%04X new-addr=0x%04X channel=%u rate=%s", r.addr, newAddr, channel,
                                 RateName(static_cast<std::uint8_t>(rate)));
        }
        case kCmdTuneRadio:
            return text + Format(" channel=%u rate=%s", r.channel, RateName(r.rate));
        case kCmdSearchByAddr:
            return text + Format(" addr=0x%04X", r.addr);
        case kCmdResetModule:
        case kCmdEnterUpdate:
        case kCmdFinishUpdate:
        case kCmdFactoryReset:
            return text + Format(" addr=0x%04X type=0x%04X", r.addr, r.type);
        case kCmdFirmwareBlock:
            return text + Format(" addr=0x%04X offset=0x%04X region=%s", r.addr, r.blockOffset,
                                 r.region == FirmwareRegion::First ? "first" : "second");
        default:
            return text;
    }
}

std::string DescribeAnswer(CommandKey command, std::span<const std::uint8_t> b) {
    std::string text = CommandName(command) + " answer";
    const std::size_t n = b.size();
    if (auto at = StatusPosition(command); at && *at < n) text += Format(" status=%u", b[*at]);
    if (command.family == Family::Config) {
        switch (command.code) {
            case kCmdReadBaseInfo:
                if (n >= 9)
                    text += Format(" addr=0x%04X type=0x%04X run=%s fw=0x%04X", Word(b, 2), Word(b, 4),
                                   RunStateName(b[6]), Word(b, 7));
                break;
            case kCmdReadProperty:
                if (n >= kAnswerLenProperty) {
                    const ModuleProperty r = PropertyFromWire(b.data() + kAnswerPropertyOffset);
                    text += Format(" addr=0x%04X channel=%u rate=%s", r.LocalAddr, r.Channel, RateName(r.AirRate));
                }
                break;
            case kCmdSearchBroadcast:
            case kCmdSearchByAddr:
                if (n >= 7)
                    text += Format(" addr=0x%04X type=0x%04X run=%s", Word(b, 2), Word(b, 4), RunStateName(b[6]));
                break;
            case kCmdFirmwareBlock:
                if (n >= 6) text += Format(" addr=0x%04X offset=0x%04X", Word(b, 2), Word(b, 4));
                break;
            default:
                if (n >= 4 && command.code != kCmdTuneRadio) text += Format(" addr=0x%04X", Word(b, 2));
                break;
        }
    } else {
        if (n >= 4) text += Format(" addr=0x%04X", Word(b, 2));
        if (command.code == kIoCmdReadInputs && n >= 5) text += Format(" lines=0x%02X", b[4]);
        if (command.code == kIoCmdReadAd && n >= 12)
            text += Format(" mv=%u,%u,%u,%u", Word(b, 4), Word(b, 6), Word(b, 8), Word(b, 10));
    }
    return text;
}

}  // namespace qrv::sim
