// A broadcast search sweep of the simulated default network through the
// library's device object, with the protocol's real pauses: what a user
// waits for in the search dialog. The argument is the port's read time-out,
// which every silent read spends in full.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "api/global_data.h"
#include "sim/simulator.h"

namespace {

using qrv::GlobalData;

class SimulatedPort {
public:
    explicit SimulatedPort(std::uint32_t readTimeoutMs) : sim_(qrv::sim::Scenario::Default()) {
        std::string error;
        ready_ = sim_.Start(&error);
        const std::wstring path(sim_.SlavePath().begin(), sim_.SlavePath().end());
        ready_ = ready_ && GlobalData().Serial.Open(path.c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, readTimeoutMs) == 1;
        std::int32_t lastError = 0;
        ready_ = ready_ && GlobalData().Device.LoadInfo(lastError) == 1;
    }
    ~SimulatedPort() {
        GlobalData().Serial.Close();
        GlobalData().Device.ClearSearchArr();
    }
    bool Ready() const { return ready_; }

private:
    qrv::sim::Simulator sim_;
    bool ready_ = false;
};

// One pair: the home pair, where three modules answer.
void BM_SearchOnePair(benchmark::State& state) {
    SimulatedPort port(static_cast<std::uint32_t>(state.range(0)));
    if (!port.Ready()) state.SkipWithError("simulator or port did not start");
    auto& device = GlobalData().Device;
    for (auto _ : state) {
        device.ClearSearchArr();
        device.SearchDev(11, 0);
    }
    state.counters["entries"] = device.GetSearchDevCount();
}
BENCHMARK(BM_SearchOnePair)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole band: channels 6 to 30 at each of the three air rates.
void BM_SweepDefaultNetwork(benchmark::State& state) {
    SimulatedPort port(static_cast<std::uint32_t>(state.range(0)));
    if (!port.Ready()) state.SkipWithError("simulator or port did not start");
    auto& device = GlobalData().Device;
    for (auto _ : state) {
        device.ClearSearchArr();
        for (int channel = 6; channel <= 30; ++channel)
            for (int rate = 0; rate <= 2; ++rate) device.SearchDev(channel, rate);
    }
    state.counters["entries"] = device.GetSearchDevCount();
}
BENCHMARK(BM_SweepDefaultNetwork)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
