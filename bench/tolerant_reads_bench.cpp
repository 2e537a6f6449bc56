// How often the exchanges read without a pause (IO inputs, AD) fail when a
// USB adapter delivers answers in pieces, with and without tolerant reads,
// and what the mode costs when answers arrive whole. Against the simulator
// at 9600, 115200 and 460800 baud with --split gaps of 2, 4, 8 and 16 ms and
// with an FTDI adapter (62-byte packets, 16 ms latency timer).
// Prints "baud  line  mode  io-failed  ad-failed  mean-ms"; about a minute:
// run build/bench/qrv_tolerant_reads_bench [exchanges per cell, default 20].
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>

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

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 20;
    std::printf("%-7s %-11s %-9s %10s %10s %8s\n", "baud", "line", "mode", "io-failed", "ad-failed", "mean-ms");
    for (unsigned baud : kRates) {
        for (const Line& line : kLines) {
            qrv::sim::SimulatorOptions options;
            options.baud = baud;
            options.splitEvery = line.split;
            if (line.adapter != nullptr) {
                qrv::sim::AdapterShape shape;
                std::string error;
                if (!qrv::sim::ParseAdapter(line.adapter, shape, error)) return 1;
                options.adapter = shape;
            }
            qrv::sim::Simulator sim(qrv::sim::Scenario::Default(), options);
            std::string error;
            if (!sim.Start(&error)) {
                std::fprintf(stderr, "simulator: %s\n", error.c_str());
                return 1;
            }
            const std::wstring port = Wide(sim.SlavePath());
            const int timeoutMs = 200 + static_cast<int>(70 * 10 * 1000 / baud);
            if (Q_OpenCom(port.c_str(), static_cast<int>(baud), 8, 0, 0, 0, 0, 0, 0, timeoutMs) != 1) return 1;
            // The module's address for the IO frames, read tolerantly.
            Q_SetTolerantReads(1);
            for (int tries = 0; tries < 5 && Q_QRV_LoadInfo() != 1; ++tries) {
            }
            for (int mode = 0; mode < 2; ++mode) {
                Q_SetTolerantReads(mode);
                // The last piece of an answer the other mode gave up on must
                // not land in this mode's first read.
                std::this_thread::sleep_for(milliseconds(50));
                int ioFailed = 0, adFailed = 0;
                const auto start = steady_clock::now();
                for (int i = 0; i < count; ++i) {
                    std::uint8_t lines = 0, ad[8];
                    if (Q_QRV_GetIOvalueLocal(&lines, 1) != 1) ++ioFailed;
                    if (Q_QRV_GetADvalueLocal(ad, sizeof ad) != 1) ++adFailed;
                }
                const double mean = duration<double, std::milli>(steady_clock::now() - start).count() / (2.0 * count);
                std::printf("%-7u %-11s %-9s %7d/%-3d %6d/%-3d %8.2f\n", baud, line.name, mode ? "tolerant" : "default",
                            ioFailed, count, adFailed, count, mean);
                std::fflush(stdout);
            }
            Q_CloseCom();
        }
    }
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
