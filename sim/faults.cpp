#include "sim/faults.h"

#include <cstdlib>

#include "protocol/protocol_constants.h"

namespace qrv::sim {

namespace {

constexpr std::uint8_t kFaultStatus = 0x01;

struct KindName {
    FaultKind kind;
    const char* name;
};

constexpr KindName kKindNames[] = {
    {FaultKind::Drop, "drop"},     {FaultKind::BadStatus, "status"}, {FaultKind::Truncate, "truncate"},
    {FaultKind::Split, "split"},   {FaultKind::Garbage, "garbage"},  {FaultKind::Late, "late"},
    {FaultKind::Unplug, "unplug"}, {FaultKind::Forget, "forget"},  {FaultKind::Extend, "extend"},
    {FaultKind::Flip, "flip"},     {FaultKind::WrongEcho, "echo"},   {FaultKind::Oversize, "oversize"},
};

// Longer than the 1024 bytes any host reads an answer into.
constexpr std::size_t kOversizeLength = 1100;

bool Contains(const std::vector<FaultKind>& kinds, FaultKind kind) {
    for (FaultKind k : kinds)
        if (k == kind) return true;
    return false;
}

}  // namespace

const char* FaultKindName(FaultKind kind) {
    for (const auto& entry : kKindNames)
        if (entry.kind == kind) return entry.name;
    return "?";
}

std::optional<CommandKey> ParseCommandKey(std::string_view text) {
    Family family = Family::Config;
    std::string_view code = text;
    if (code.substr(0, 3) == "io-" || code.substr(0, 3) == "IO-") {
        family = Family::Io;
        code.remove_prefix(3);
    }
    if (code.size() == 2) {
        char* end = nullptr;
        const std::string digits(code);
        const unsigned long value = std::strtoul(digits.c_str(), &end, 16);
        const CommandKey key{family, static_cast<std::uint8_t>(value)};
        if (end && *end == '\0' && RequestLength(key) != 0) return key;
    }
    for (Family f : {Family::Config, Family::Io})
        for (unsigned c = 0; c < 0x100; ++c) {
            const CommandKey key{f, static_cast<std::uint8_t>(c)};
            if (RequestLength(key) != 0 && CommandName(key) == text) return key;
        }
    return std::nullopt;
}

bool ParseFault(std::string_view text, Fault& out, std::string& error) {
    Fault fault;
    bool first = true, named = false;
    while (!text.empty() || first) {
        const std::size_t comma = text.find(',');
        const std::string_view part = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        if (first) {
            first = false;
            for (const auto& entry : kKindNames)
                if (part == entry.name) {
                    fault.kind = entry.kind;
                    named = true;
                }
            if (!named) {
                error = "unknown fault kind \"" + std::string(part) + "\"";
                return false;
            }
            continue;
        }
        const std::size_t equals = part.find('=');
        const std::string key(part.substr(0, equals));
        const std::string value(equals == std::string_view::npos ? "" : part.substr(equals + 1));
        char* end = nullptr;
        if (key == "cmd") {
            fault.command = ParseCommandKey(value);
            if (!fault.command) {
                error = "unknown command \"" + value + "\"";
                return false;
            }
        } else if (key == "p") {
            fault.probability = std::strtod(value.c_str(), &end);
            if (value.empty() || *end != '\0' || fault.probability < 0.0 || fault.probability > 1.0) {
                error = "probability must be between 0 and 1: \"" + value + "\"";
                return false;
            }
        } else if (key == "n") {
            const long count = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || count < 0) {
                error = "count must be a number of times: \"" + value + "\"";
                return false;
            }
            fault.count = static_cast<int>(count);
        } else {
            error = "unknown fault setting \"" + std::string(part) + "\"";
            return false;
        }
    }
    out = fault;
    return true;
}

bool FaultInjector::Fires(Fault& fault, CommandKey command, bool answered) {
    if (fault.count == 0) return false;
    if (fault.command && !(*fault.command == command)) return false;
    // Only a property write has something to forget.
    if (fault.kind == FaultKind::Forget && !(command == CommandKey{Family::Config, protocol::kCmdWriteProperty}))
        return false;
    // Faults on the answer need an answer to act on; an unplug acts anyway.
    if (!answered && fault.kind != FaultKind::Unplug) return false;
    if (fault.probability < 1.0 && std::uniform_real_distribution<double>(0.0, 1.0)(random_) >= fault.probability)
        return false;
    if (fault.count > 0) --fault.count;
    return true;
}

FaultOutcome FaultInjector::Apply(CommandKey command, std::vector<Bytes> answers, std::chrono::microseconds answerGap,
                                  const FaultTiming& timing) {
    FaultOutcome outcome;
    for (Fault& fault : faults_)
        if (!Contains(outcome.applied, fault.kind) && Fires(fault, command, !answers.empty()))
            outcome.applied.push_back(fault.kind);

    if (Contains(outcome.applied, FaultKind::Unplug)) {
        outcome.unplug = true;
        return outcome;
    }
    if (Contains(outcome.applied, FaultKind::Drop)) return outcome;

    const std::optional<std::size_t> statusAt = StatusPosition(command);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        Bytes& answer = answers[i];
        if (Contains(outcome.applied, FaultKind::BadStatus) && statusAt && *statusAt < answer.size())
            answer[*statusAt] = kFaultStatus;
        if (Contains(outcome.applied, FaultKind::Truncate)) answer.resize(std::max<std::size_t>(1, answer.size() / 2));
        if (Contains(outcome.applied, FaultKind::WrongEcho) && answer.size() > protocol::kAnswerEchoAt)
            answer[protocol::kAnswerEchoAt] ^= 0x01;
        if (Contains(outcome.applied, FaultKind::Flip) && !answer.empty()) answer.back() ^= 0xFF;
        if (Contains(outcome.applied, FaultKind::Extend)) answer.push_back(0x00);
        if (Contains(outcome.applied, FaultKind::Oversize) && answer.size() < kOversizeLength)
            answer.resize(kOversizeLength, 0x00);
        if (i == 0 && Contains(outcome.applied, FaultKind::Garbage)) {
            std::uniform_int_distribution<int> count(1, 4), byte(0, 255);
            Bytes noise(static_cast<std::size_t>(count(random_)));
            for (std::uint8_t& b : noise) b = static_cast<std::uint8_t>(byte(random_));
            answer.insert(answer.begin(), noise.begin(), noise.end());
        }
        const std::chrono::microseconds delay = i == 0 ? std::chrono::microseconds{0} : answerGap;
        if (Contains(outcome.applied, FaultKind::Split) && answer.size() > 1) {
            const auto half = static_cast<std::ptrdiff_t>(answer.size() / 2);
            outcome.bursts.push_back({Bytes(answer.begin(), answer.begin() + half), delay});
            outcome.bursts.push_back({Bytes(answer.begin() + half, answer.end()), timing.splitGap});
        } else {
            outcome.bursts.push_back({std::move(answer), delay});
        }
    }
    if (Contains(outcome.applied, FaultKind::Late) && !outcome.bursts.empty())
        outcome.bursts.front().delay += timing.lateDelay;
    return outcome;
}

}  // namespace qrv::sim
