// Faults a real line shows, switched on by calls or command-line options and
// drawn from a seeded generator so that a run can be repeated exactly.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim/answer_builder.h"
#include "sim/request_decoder.h"

namespace qrv::sim {

enum class FaultKind {
    Drop,       // no answer at all
    BadStatus,  // status byte not 0 (answers without a status byte pass unchanged)
    Truncate,   // only the first half of each answer
    Split,      // each answer in two bursts, the gap longer than the host's read interval
    Garbage,    // one to four stray bytes before the answer
    Late,       // the answer comes after the host has stopped reading
    Unplug,     // the module is pulled off the line: the pty closes instead of answering
    Forget,     // a property write (0xD3) is acknowledged but not kept
    Extend,     // one byte more after the answer
    Flip,       // the answer's last byte inverted (its end byte, where it has one)
    WrongEcho,  // the command code the answer repeats is another one
    Oversize,   // the answer run on with zero bytes past any answer buffer (1100 bytes)
};

struct Fault {
    FaultKind kind = FaultKind::Drop;
    std::optional<CommandKey> command;  // none: every command
    double probability = 1.0;
    int count = -1;  // how often it may still fire; -1 without limit
};

// "drop", "status,cmd=D3", "late,cmd=io-D7,p=0.25,n=2". Kinds: drop, status,
// truncate, split, garbage, late, unplug, forget, extend, flip, echo,
// oversize. Commands: D1..DB for the
// configuration family, io-D4..io-D7 for the IO family, or the names of
// CommandName() ("read-base-info").
bool ParseFault(std::string_view text, Fault& out, std::string& error);
std::optional<CommandKey> ParseCommandKey(std::string_view text);
const char* FaultKindName(FaultKind kind);

struct FaultTiming {
    std::chrono::microseconds splitGap{20000};
    std::chrono::microseconds lateDelay{1500000};
};

// One burst on the line: `delay` after the previous burst ended (the first:
// after the answer would normally start).
struct Burst {
    Bytes bytes;
    std::chrono::microseconds delay{0};
};

struct FaultOutcome {
    std::vector<Burst> bursts;
    bool unplug = false;
    std::vector<FaultKind> applied;
};

class FaultInjector {
public:
    explicit FaultInjector(std::uint64_t seed) : random_(seed) {}

    void Add(const Fault& fault) { faults_.push_back(fault); }
    void Clear() { faults_.clear(); }
    const std::vector<Fault>& Faults() const { return faults_; }

    // Turns the answers to one request into bursts. `answerGap` separates
    // several answers (search); faults that fire are listed in `applied`.
    FaultOutcome Apply(CommandKey command, std::vector<Bytes> answers, std::chrono::microseconds answerGap,
                       const FaultTiming& timing);

private:
    bool Fires(Fault& fault, CommandKey command, bool answered);

    std::vector<Fault> faults_;
    std::mt19937_64 random_;
};

}  // namespace qrv::sim
