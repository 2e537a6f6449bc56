// How often the exchanges read without a pause (IO inputs, AD, the upgrade's
// steps) fail when a USB adapter delivers answers in pieces, with and
// without tolerant reads, and what the mode costs when answers arrive whole.
// Against the simulator at 9600, 115200 and 460800 baud with --split gaps of
// 2, 4, 8 and 16 ms and with an FTDI adapter (62-byte packets, 16 ms timer).
// Prints, per rate, line and mode, the failed/tried IO and AD reads and
// upgrade steps (enter, block attempts, finish) and the upgrades done; about
// four minutes: run build/bench/qrv_tolerant_reads_bench [reads per cell, 20].
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "sim/simulator.h"

namespace {

using namespace std::chrono;

struct Line {
    const char* name;
    milliseconds split;
    const char* adapter;  // nullptr: none
};

constexpr Line kLines[] = {
    {"whole", milliseconds(0), nullptr},     {"split-2ms", milliseconds(2), nullptr},
    {"split-4ms", milliseconds(4), nullptr}, {"split-8ms", milliseconds(8), nullptr},
    {"split-16ms", milliseconds(16), nullptr}, {"ftdi:16", milliseconds(0), "ftdi:16"},
};
constexpr unsigned kRates[] = {9600, 115200, 460800};

// An image of second-region blocks only: no first-region block and its
// one-second write, so an upgrade is its steps and little else.
constexpr int kImageBlocks = 16;
using namespace qrv::protocol;

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::string WriteImage() {
    char path[] = "/tmp/qrv-bench-image-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return {};
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t word : {0u, 0u, 0x1000u, 0x1000u + 64u * kImageBlocks, 16u})
        for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(word >> shift));
    for (int n = 0; n < kImageBlocks; ++n) bytes.insert(bytes.end(), 64, static_cast<std::uint8_t>(n + 1));
    const bool whole = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(fd);
    return whole ? path : std::string();
}

// The upgrade's steps as the trace shows them written: enter, every block
// attempt (a retry follows a failed one), finish.
struct UpgradeSteps {
    int enter = 0, blocks = 0, finish = 0, acknowledged = 0;
};

void CountStep(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length, std::uint64_t) {
    auto* steps = static_cast<UpgradeSteps*>(user);
    if (direction != 0 || length < 2 || bytes[0] != kConfigStart) return;
    if (bytes[1] == kCmdEnterUpdate) ++steps->enter;
    if (bytes[1] == kCmdFirmwareBlock) ++steps->blocks;
    if (bytes[1] == kCmdFinishUpdate) ++steps->finish;
}

void CountBlock(void* user, std::int32_t done, std::int32_t) { static_cast<UpgradeSteps*>(user)->acknowledged = done; }

void Quiet(int, const char*, void*) {}

struct Tally {
    int failed = 0, tried = 0;
    void Add(int tries, int passed) { tried += tries, failed += tries - passed; }
    std::string Text() const { return std::to_string(failed) + "/" + std::to_string(tried); }
};

struct UpgradeTally {
    Tally enter, blocks, finish;
    int done = 0;
};

// One upgrade of the module as it is now (in its boot loader: no enter step).
void Upgrade(const std::string& image, UpgradeTally& tally) {
    ModuleBase base{};
    ModuleProperty property{};
    const int saved = Q_SetTolerantReads(1);
    for (int tries = 0; tries < 3 && Q_QRV_GetPropertyAll(&base, &property) != 1; ++tries) {
    }
    Q_SetTolerantReads(saved);
    UpgradeSteps steps;
    Q_SetTraceHandler(CountStep, &steps);
    Q_SetProgressHandler(CountBlock, &steps);
    const bool ok = Q_QRV_UpdateWithFileNameLocal(Wide(image).c_str(), base.RunState, base.NetAddr, base.DevType) == 1;
    Q_SetTraceHandler(nullptr, nullptr);
    Q_SetProgressHandler(nullptr, nullptr);
    // Enter went through when a block followed; finish, when the upgrade did.
    tally.enter.Add(steps.enter, steps.enter > 0 && steps.blocks > 0 ? 1 : 0);
    tally.blocks.Add(steps.blocks, steps.acknowledged);
    tally.finish.Add(steps.finish, ok ? 1 : 0);
    tally.done += ok ? 1 : 0;
}

std::unique_ptr<qrv::sim::Simulator> Open(unsigned baud, const Line& line, bool inBootLoader) {
    qrv::sim::SimulatorOptions options;
    options.baud = baud;
    options.splitEvery = line.split;
    if (line.adapter != nullptr) {
        qrv::sim::AdapterShape shape;
        std::string error;
        if (!qrv::sim::ParseAdapter(line.adapter, shape, error)) return nullptr;
        options.adapter = shape;
    }
    qrv::sim::Scenario scenario = qrv::sim::Scenario::Default();
    if (inBootLoader) {
        scenario.local.record.RunState = qrv::kRunStateBoot;
        scenario.local.record.DevType = qrv::kDevTypeBoot;
    }
    auto sim = std::make_unique<qrv::sim::Simulator>(scenario, options);
    std::string error;
    const int timeoutMs = 200 + static_cast<int>(70 * 10 * 1000 / baud);
    if (!sim->Start(&error) ||
        Q_OpenCom(Wide(sim->SlavePath()).c_str(), static_cast<int>(baud), 8, 0, 0, 0, 0, 0, 0, timeoutMs) != 1) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return nullptr;
    }
    return sim;
}

// One row: IO and AD reads and an upgrade started from the application (its
// enter step, and what follows when that passes); then an upgrade of a
// module in its boot loader, so that its blocks and finish are measured even
// when enter fails.
bool Row(unsigned baud, const Line& line, int mode, int count, const std::string& image) {
    int ioFailed = 0, adFailed = 0;
    UpgradeTally tally;
    {
        const std::unique_ptr<qrv::sim::Simulator> sim = Open(baud, line, false);
        if (!sim) return false;
        // The module's address for the IO frames, read tolerantly.
        Q_SetTolerantReads(1);
        for (int tries = 0; tries < 5 && Q_QRV_LoadInfo() != 1; ++tries) {
        }
        Q_SetTolerantReads(mode);
        // Each read starts a random moment after the last, as a program
        // polling its inputs would: behind an adapter the answers then meet
        // its latency timer at every phase (back to back they would all
        // meet it at the same one).
        std::minstd_rand random(baud);
        std::uniform_int_distribution<int> phase(0, 15);
        for (int i = 0; i < count; ++i) {
            std::uint8_t lines = 0, ad[8];
            std::this_thread::sleep_for(milliseconds(phase(random)));
            if (Q_QRV_GetIOvalueLocal(&lines, 1) != 1) ++ioFailed;
            std::this_thread::sleep_for(milliseconds(phase(random)));
            if (Q_QRV_GetADvalueLocal(ad, sizeof ad) != 1) ++adFailed;
        }
        Upgrade(image, tally);
        Q_CloseCom();
    }
    {
        const std::unique_ptr<qrv::sim::Simulator> sim = Open(baud, line, true);
        if (!sim) return false;
        Q_SetTolerantReads(mode);
        Upgrade(image, tally);
        Q_CloseCom();
    }
    std::printf("%-7u %-11s %-9s %6d/%-3d %6d/%-3d %8s %8s %8s %6d/2\n", baud, line.name, mode ? "tolerant" : "default",
                ioFailed, count, adFailed, count, tally.enter.Text().c_str(), tally.blocks.Text().c_str(),
                tally.finish.Text().c_str(), tally.done);
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20;
    const std::string image = WriteImage();
    if (image.empty()) return 1;
    Q_SetMessageHandler(Quiet, nullptr);
    std::printf("%-7s %-11s %-9s %10s %10s %8s %8s %8s %8s\n", "baud", "line", "mode", "io-failed", "ad-failed", "enter",
                "blocks", "finish", "upgrades");
    bool ok = true;
    for (unsigned baud : kRates)
        for (const Line& line : kLines)
            for (int mode = 0; mode < 2 && ok; ++mode) ok = Row(baud, line, mode, count, image);
    unlink(image.c_str());
    if (!ok) return 1;
    // The cost on whole answers: AD reads alternating between the modes, so
    // the machine's drift falls on both alike.
    std::printf("\nwhole answers, %d AD reads a mode, alternating\n%-7s %12s %12s\n", 10 * count, "baud", "default-ms",
                "tolerant-ms");
    for (unsigned baud : {115200u, 460800u}) {
        qrv::sim::SimulatorOptions options;
        options.baud = baud;
        qrv::sim::Simulator sim(qrv::sim::Scenario::Default(), options);
        std::string error;
        if (!sim.Start(&error) || Q_OpenCom(Wide(sim.SlavePath()).c_str(), static_cast<int>(baud), 8, 0, 0, 0, 0, 0, 0, 200) != 1)
            return 1;
        Q_QRV_LoadInfo();
        double total[2] = {0, 0};
        for (int i = 0; i < 20 * count; ++i) {
            const int mode = i % 2;
            Q_SetTolerantReads(mode);
            std::uint8_t ad[8];
            const auto start = steady_clock::now();
            Q_QRV_GetADvalueLocal(ad, sizeof ad);
            total[mode] += duration<double, std::milli>(steady_clock::now() - start).count();
        }
        std::printf("%-7u %12.3f %12.3f\n", baud, total[0] / (10 * count), total[1] / (10 * count));
        Q_CloseCom();
    }
    Q_SetTolerantReads(0);
    return 0;
}
