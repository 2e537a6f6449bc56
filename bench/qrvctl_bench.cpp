// What qrvctl's slow roads cost against the protocol's own floor (its fixed
// pauses and the read time-outs it has to sit out), through the client layer
// and the shared SDK against the simulated default network:
//   detect on a silent port, search --all, profile apply with verification.
// Prints "road  measured  floor  ratio"; run build/bench/qrvctl_bench.
#include <cstdio>
#include <functional>
#include <string>

#include "client/detect.h"
#include "client/module_access.h"
#include "client/profile.h"
#include "client/sdk_link.h"
#include "client/search_sweep.h"
#include "client/write_verify.h"
#include "sim/simulator.h"
#include "support/pty_pair.h"

namespace {

using namespace qrv::client;
using namespace std::chrono;

constexpr int kBaud = 115200;
constexpr milliseconds kLoad{200};    // two exchanges with a 100 ms pause each
constexpr milliseconds kTune{100};    // before a tuning answer
constexpr milliseconds kSearch{10};   // before the first search answer
constexpr milliseconds kRestart{400}; // after a reset frame
constexpr int kSilentReadsPerPair = 3;

void Report(const char* road, milliseconds measured, milliseconds floor) {
    std::printf("%-28s %8lld ms %8lld ms   %.2f\n", road, static_cast<long long>(measured.count()),
                static_cast<long long>(floor.count()), double(measured.count()) / double(floor.count()));
}

milliseconds Time(const std::function<void()>& road) {
    const auto start = steady_clock::now();
    road();
    return duration_cast<milliseconds>(steady_clock::now() - start);
}

}  // namespace

int main() {
    std::printf("%-28s %11s %11s   %s\n", "road", "measured", "floor", "ratio");

    {
        qrv::test::PtyPair silent;
        const std::string port = silent.SlavePath();
        Report("detect, one silent port", Time([&] { Detect(std::span(&port, 1)); }), SilentPortScanFloor());
    }

    qrv::sim::Simulator sim(qrv::sim::Scenario::Default());
    if (!sim.Start()) return 1;
    const int timeout = CommandReadTimeoutMs(kBaud);
    if (!OpenPort({sim.SlavePath(), kBaud, timeout}).Ok()) return 1;
    const milliseconds readTimeout{timeout};

    {
        LocalModuleInfo local;
        const std::vector<int> channels = AllChannels(), rates = AllAirRates();
        const std::vector<RadioPair> pairs = SweepPairs(channels, rates);
        const milliseconds took = Time([&] {
            ReadLocalModule(local);
            Sweep(pairs, std::nullopt, {});
        });
        // Per pair: tune there, the search pause, three silent reads, tune home.
        const milliseconds floor =
            kLoad + (2 * kTune + kSearch + kSilentReadsPerPair * readTimeout) * static_cast<long>(pairs.size());
        Report("search --all", took, floor);
    }

    {
        std::unique_ptr<ModuleAccess> module = LocalModule();
        ModuleRecords current, after;
        module->Read(current);
        const Profile profile = ProfileFromRecord(current.base, current.property, false);
        std::vector<FieldDifference> differences;
        const milliseconds took = Time([&] {
            ModuleRecords read;
            module->Read(read);
            ModuleProperty wanted = read.property;
            ApplyProfile(profile, wanted);
            WriteAndVerify(*module, wanted, after, differences);
        });
        Report("profile apply + verify", took, kLoad + kRestart + kLoad);
    }
    ClosePort();
    return 0;
}
