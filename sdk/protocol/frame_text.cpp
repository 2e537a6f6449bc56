#include "protocol/frame_text.h"

#include <cstdio>

#include "protocol/commands.h"
#include "records/module_records.h"

namespace qrv::protocol {

namespace {

using Bytes = std::span<const std::uint8_t>;

template <typename... Values>
void Append(std::string& text, const char* format, Values... values) {
    char part[96];
    std::snprintf(part, sizeof part, format, values...);
    text += part;
}

unsigned Word(Bytes b, std::size_t at) { return ReadBigEndian16(b.data() + at); }

const char* RunStateName(std::uint8_t state) {
    return state == kRunStateBoot ? "BOOT" : state == kRunStateUser ? "USER" : "NOBOOT";
}

bool IsAddrTypeCommand(std::uint8_t code) {
    return code == kCmdResetModule || code == kCmdEnterUpdate || code == kCmdFinishUpdate || code == kCmdFactoryReset;
}

// The fields of a complete request; its length has been checked.
void RequestFields(CommandKey key, Bytes b, std::string& text) {
    if (key.family == Family::Io) {
        Append(text, " addr=0x%04X", Word(b, 2));
        if (b.size() == kLenIoWrite) Append(text, " value=0x%02X", b[4]);
        return;
    }
    switch (key.code) {
        case kCmdReadProperty:
            Append(text, " addr=0x%04X offset=%u count=%u", Word(b, 2), b[4], b[5]);
            break;
        case kCmdWriteProperty: {
            // The record follows the six header bytes, high byte first.
            const std::size_t record = 6;
            Append(text, " addr=0x%04X new-addr=0x%04X channel=%u rate=%s", Word(b, 2),
                   Word(b, record + offsetof(ModuleProperty, LocalAddr)), b[record + offsetof(ModuleProperty, Channel)],
                   AirRateName(b[record + offsetof(ModuleProperty, AirRate)]));
            break;
        }
        case kCmdTuneRadio:
            Append(text, " channel=%u rate=%s", b[2], AirRateName(b[3]));
            break;
        case kCmdSearchByAddr:
            Append(text, " addr=0x%04X", Word(b, 2));
            break;
        case kCmdFirmwareBlock:
            Append(text, " addr=0x%04X offset=0x%04X region=%s", Word(b, 2), Word(b, 4),
                   b.size() == kLenBlockSecondRegion ? "second" : "first");
            break;
        default:
            if (IsAddrTypeCommand(key.code)) Append(text, " addr=0x%04X type=0x%04X", Word(b, 2), Word(b, 4));
            break;
    }
}

// The fields of a complete answer, read at the positions of the answer layouts.
void AnswerFields(const CommandInfo& info, Bytes b, std::string& text) {
    if (info.statusAt) Append(text, " status=%u", b[*info.statusAt]);
    const CommandKey key = info.key;
    if (key.family == Family::Io) {
        Append(text, " addr=0x%04X", Word(b, kIoAnswerAddrAt));
        if (key.code == kIoCmdReadInputs) Append(text, " lines=0x%02X", b[kIoAnswerByteAt]);
        if (key.code == kIoCmdReadAd)
            Append(text, " mv=%u,%u,%u,%u", Word(b, kAdBlockAt), Word(b, kAdBlockAt + 2), Word(b, kAdBlockAt + 4),
                   Word(b, kAdBlockAt + 6));
        return;
    }
    switch (key.code) {
        case kCmdReadBaseInfo:
            Append(text, " addr=0x%04X type=0x%04X run=%s fw=0x%04X", Word(b, kBaseInfoAddrAt),
                   Word(b, kBaseInfoTypeAt), RunStateName(b[kBaseInfoRunStateAt]), Word(b, kBaseInfoFwAt));
            break;
        case kCmdReadProperty: {
            const ModuleProperty r = PropertyFromWire(b.data() + kAnswerPropertyOffset);
            Append(text, " addr=0x%04X channel=%u rate=%s", unsigned{r.LocalAddr}, r.Channel, AirRateName(r.AirRate));
            break;
        }
        case kCmdWriteProperty:
            Append(text, " addr=0x%04X", Word(b, kWriteAnswerAddrAt));
            break;
        case kCmdTuneRadio:
            break;
        case kCmdSearchBroadcast:
        case kCmdSearchByAddr:
            Append(text, " addr=0x%04X type=0x%04X run=%s", Word(b, kSearchAnswerAddrAt), Word(b, kSearchAnswerTypeAt),
                   RunStateName(b[kSearchAnswerRunStateAt]));
            break;
        case kCmdFirmwareBlock:
            Append(text, " addr=0x%04X offset=0x%04X", Word(b, kStepAnswerAddrAt), Word(b, kStepAnswerWordAt));
            break;
        default:
            Append(text, " addr=0x%04X type=0x%04X", Word(b, kStepAnswerAddrAt), Word(b, kStepAnswerWordAt));
            break;
    }
}

bool IsRequestLength(const CommandInfo& info, std::size_t n) {
    if (info.key == ConfigKey(kCmdFirmwareBlock))
        return n == kLenBlockFirstRegion || n == kLenBlockSecondRegion;
    return n == info.requestLength;
}

// The property record answer carries no end byte and may run longer, but
// never past the answer buffer: no read returns more than it holds.
bool IsAnswerLength(const CommandInfo& info, std::size_t n) {
    if (info.answerLength == 0) return false;
    if (info.key == ConfigKey(kCmdReadProperty)) return n >= info.answerLength && n <= kAnswerBufferSize;
    return n == info.answerLength;
}

// The byte a complete frame must end with; none for the record answer.
std::optional<std::uint8_t> ExpectedEnd(const CommandInfo& info, bool request, std::size_t n) {
    if (!request && info.key == ConfigKey(kCmdReadProperty)) return std::nullopt;
    if (request && info.key == ConfigKey(kCmdFirmwareBlock) && n == kLenBlockFirstRegion)
        return kBlockMarker;
    return EndByte(info.key.family);
}

}  // namespace

const char* AirRateName(std::uint8_t rate) {
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

std::string HexBytes(Bytes bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) text += ' ';
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

bool DescribeFrame(Bytes b, FrameDirection direction, std::string& text) {
    text.clear();
    const std::size_t n = b.size();
    const auto family = n > 0 ? FamilyOf(b[0]) : std::nullopt;
    if (!family) {
        Append(text, n == 0 ? "no bytes" : "unrecognised %zu bytes", n);
        return false;
    }
    if (n < 2) {
        text = "partial frame, 1 byte";
        return false;
    }
    const CommandKey key{*family, b[1]};
    const CommandInfo* info = FindCommand(key);
    if (info == nullptr) {
        Append(text, "unknown command 0x%02X 0x%02X, %zu bytes", b[0], b[1], n);
        return false;
    }
    text = info->name;

    const bool requestShape = IsRequestLength(*info, n);
    const bool answerShape = IsAnswerLength(*info, n);
    if (!requestShape && !answerShape) {
        const bool answer = direction == FrameDirection::Answer && info->answerLength != 0;
        if (direction == FrameDirection::Unknown) {
            Append(text, ", %zu bytes: neither its request (%zu) nor its answer (%zu)", n, info->requestLength,
                   info->answerLength);
            return false;
        }
        const std::size_t whole = answer ? info->answerLength : info->requestLength;
        if (answer) text += " answer";
        if (answer && n > kAnswerBufferSize)
            Append(text, ", %zu bytes: longer than any answer (%zu)", n, kAnswerBufferSize);
        else
            Append(text, n < whole ? ", partial: %zu of %zu bytes" : ", %zu bytes instead of %zu", n, whole);
        return false;
    }
    // Both shapes fit only the IO family's set frames; the direction decides.
    bool request = requestShape;
    if (requestShape && answerShape) {
        if (direction == FrameDirection::Unknown) {
            Append(text, " (request or answer) addr=0x%04X value-or-status=0x%02X", Word(b, kIoAnswerAddrAt),
                   b[kIoAnswerByteAt]);
            return b[n - 1] == EndByte(key.family);
        }
        request = direction == FrameDirection::Request;
    }
    if (request) {
        RequestFields(key, b, text);
    } else {
        text += " answer";
        AnswerFields(*info, b, text);
    }
    const auto end = ExpectedEnd(*info, request, n);
    if (end && b[n - 1] != *end) {
        Append(text, ", ends 0x%02X instead of 0x%02X", b[n - 1], *end);
        return false;
    }
    return true;
}

}  // namespace qrv::protocol
