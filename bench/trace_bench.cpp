// What tracing costs per frame: nothing while no handler is set (and no
// QRVLINK_TRACE), a handler call when one is, a decoded line when lines are
// written. Both alone and around a real write of a request to a pty.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>

#include "device/line_trace.h"
#include "protocol/frames.h"
#include "serial/serial_port.h"
#include "support/pty_pair.h"

namespace {

using qrv::LineDirection;
using qrv::LineTrace;

const auto kRequest = qrv::protocol::BuildReadProperty(0x0102, 0, 57);

void Ignore(void* user, std::int32_t, const std::uint8_t* bytes, std::int32_t length, std::uint64_t) {
    benchmark::DoNotOptimize(user);
    benchmark::DoNotOptimize(bytes[length - 1]);
}

enum Tracing { kUnset = 0, kHandler = 1, kLines = 2 };

void Configure(LineTrace& trace, std::int64_t tracing) {
    if (tracing == kHandler) trace.SetHandler(&Ignore, nullptr);
    if (tracing == kLines) trace.WriteLinesTo("/dev/null");
}

void BM_TracePerFrame(benchmark::State& state) {
    LineTrace trace;
    Configure(trace, state.range(0));
    for (auto _ : state) trace.OnTraffic(LineDirection::Written, kRequest.data(), kRequest.size);
}
BENCHMARK(BM_TracePerFrame)->Arg(kUnset)->Arg(kHandler)->Arg(kLines);

// The exchange's own cost around it: purge, write, wait for the line to drain.
void BM_WriteRequestToPty(benchmark::State& state) {
    qrv::test::PtyPair pty;
    qrv::SerialPort port;
    LineTrace trace;
    Configure(trace, state.range(0));
    port.SetObserver(&trace);
    if (port.Open(pty.SlavePathWide().c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, 100) != 1)
        state.SkipWithError("cannot open the pty");
    std::uint32_t written = 0;
    for (auto _ : state) port.Write(kRequest.data(), static_cast<std::uint32_t>(kRequest.size), written);
}
BENCHMARK(BM_WriteRequestToPty)->Arg(kUnset)->Arg(kHandler)->Arg(kLines);

}  // namespace
