// The radio network behind the serial line: the local module answers the
// frames addressed to it and relays the others over the air to the far
// module tuned to. Pure model: time comes in as an argument, bytes go out as
// answers; the Simulator does the I/O.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "sim/answer_builder.h"
#include "sim/module_state.h"
#include "sim/request_decoder.h"
#include "sim/scenario.h"

namespace qrv::sim {

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
};

}  // namespace qrv::sim
