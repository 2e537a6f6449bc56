// The radio network behind the serial line: the local module answers the
// frames addressed to it and relays the others over the air to the far
// module tuned to. Pure model: time comes in as an argument, bytes go out as
// answers; the Simulator does the I/O.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "sim/answer_builder.h"
#include "sim/module_state.h"
#include "sim/request_decoder.h"
#include "sim/scenario.h"

namespace qrv::sim {

// A production line: local modules that take their turn on the serial line
// one after another, as an operator puts them into a jig.
struct StationLine {
    std::deque<ModuleConfig> waiting;  // in the order they are put on the line
    std::chrono::milliseconds gap{2000};  // the line is silent between two modules
    // A module that was restarted after a write leaves by itself this long
    // after its restart; none: only when taken off.
    std::optional<std::chrono::milliseconds> leaveAfterWrite;
};

struct Reply {
    // Each answer leaves as a burst of its own (search answers one after
    // another); empty when nobody answers.
    std::vector<Bytes> answers;
    // Answered by a far module: the frame crossed the air both ways.
    bool overAir = false;
};

class Network {
public:
    // Index 0 is the local module, 1.. the far modules in scenario order.
    static constexpr std::size_t kLocal = 0;

    Network(const Scenario& scenario, std::uint64_t seed, std::chrono::milliseconds restartTime);

    // Handles one request that finished arriving at `now`.
    Reply Handle(const Request& request, Clock::time_point now);
    // Finishes every restart that is due by `now`.
    void Settle(Clock::time_point now);
    // The module at `address` drops the record a write just handed it: the
    // write was acknowledged, but the next restart keeps the old record.
    void ForgetWrite(std::uint16_t address);

    std::size_t ModuleCount() const { return modules_.size(); }
    const ModuleState& Module(std::size_t index) const { return modules_.at(index); }
    ModuleState& Module(std::size_t index) { return modules_.at(index); }
    std::uint8_t TunedChannel() const { return tunedChannel_; }
    std::uint8_t TunedRate() const { return tunedRate_; }

    // The network as it now is, for writing back to a scenario file.
    Scenario ToScenario() const;

    // ---- The production line ----
    void SetStationLine(StationLine line);
    // The local module leaves the line at `now`; the next waiting one
    // answers a gap later. Returns false when no module was on the line.
    bool TakeOff(Clock::time_point now);
    bool LocalPresent() const { return localPresent_; }
    // The modules that have left the line, as they were when they left.
    const std::vector<ModuleConfig>& Departed() const { return departed_; }
    // The local module's UART rate as its record says, nothing when the
    // record holds no known rate.
    std::optional<unsigned> LocalUartRate() const;

private:
    Reply HandleOwn(ModuleState& module, const Request& request, Clock::time_point now);
    Reply HandleIo(ModuleState& module, const Request& request);
    Reply Search(const Request& request) const;
    ModuleState* Reachable(std::uint16_t address);
    bool OnTunedPair(const ModuleState& module) const;
    void StartRestart(ModuleState& module, Clock::time_point now);
    void FinishRestart(std::size_t index);
    AdValues ReadAd(ModuleState& module);

    std::vector<ModuleState> modules_;
    std::uint8_t tunedChannel_ = 0;
    std::uint8_t tunedRate_ = 0;
    std::chrono::milliseconds restartTime_;

    StationLine station_;
    bool localPresent_ = true;
    bool localWritten_ = false;  // a write was accepted since the module arrived
    std::optional<Clock::time_point> leaveAt_;
    std::optional<Clock::time_point> arriveAt_;
    std::vector<ModuleConfig> departed_;
};

}  // namespace qrv::sim
