// A broadcast search sweep of the simulated default network through the
// library's device object, with the protocol's real pauses: what a user
// waits for in the search dialog. The argument is the port's read time-out,
// which every silent read spends in full.
#include <benchmark/benchmark.h>

#include <string>

#include "device/qrv_dev.h"
#include "sim/simulator.h"

namespace {

class SimulatedPort {
public:
    explicit SimulatedPort(std::uint32_t readTimeoutMs) : sim_(qrv::sim::Scenario::Default()) {
        std::string error;
        ready_ = sim_.Start(&error);
        const std::wstring path(sim_.SlavePath().begin(), sim_.SlavePath().end());
        ready_ = ready_ && port_.Open(path.c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, readTimeoutMs) == 1;
        ready_ = ready_ && device_.LoadInfo().Ok();
    }
    bool Ready() const { return ready_; }
    qrv::CQRVDev& Device() { return device_; }

private:
    qrv::sim::Simulator sim_;
    qrv::SerialPort port_;
    qrv::PortWaits waits_{port_};
    qrv::CQRVDev device_{port_, waits_};
    bool ready_ = false;
};

// One pair: the home pair, where three modules answer.
void BM_SearchOnePair(benchmark::State& state) {
    SimulatedPort port(static_cast<std::uint32_t>(state.range(0)));
    if (!port.Ready()) state.SkipWithError("simulator or port did not start");
    auto& device = port.Device();
    for (auto _ : state) {
        device.Found.Clear();
        device.SearchDev(11, 0);
    }
    state.counters["entries"] = device.Found.Count();
}
BENCHMARK(BM_SearchOnePair)->Arg(20)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole band: channels 6 to 30 at each of the three air rates.
void BM_SweepDefaultNetwork(benchmark::State& state) {
    SimulatedPort port(static_cast<std::uint32_t>(state.range(0)));
    if (!port.Ready()) state.SkipWithError("simulator or port did not start");
    auto& device = port.Device();
    for (auto _ : state) {
        device.Found.Clear();
        for (int channel = 6; channel <= 30; ++channel)
            for (int rate = 0; rate <= 2; ++rate) device.SearchDev(channel, rate);
    }
    state.counters["entries"] = device.Found.Count();
}
BENCHMARK(BM_SweepDefaultNetwork)->Arg(20)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
