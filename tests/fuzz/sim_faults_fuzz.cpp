// The simulated network with the fault injector, driven by arbitrary input:
// the first line is a --fault argument (its parser must not fault on any
// text), the rest line bytes decoded into requests. The network answers
// each, the injector turns the answers into bursts, and an exchange no
// fault fired on leaves the line with exactly the network's answers.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "sim/faults.h"
#include "sim/network.h"

using namespace qrv::sim;

namespace {
void Require(bool holds) {
    if (!holds) std::abort();
}

bool Fired(const FaultOutcome& outcome, FaultKind kind) {
    for (const FaultKind applied : outcome.applied)
        if (applied == kind) return true;
    return false;
}

Bytes Joined(const std::vector<Bytes>& parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view faultText = input.substr(0, newline);
    std::span<const std::uint8_t> line =
        newline == std::string_view::npos ? std::span<const std::uint8_t>() : std::span(data + newline + 1, data + size);

    FaultInjector injector(size);
    Fault fault;
    std::string error;
    if (ParseFault(faultText, fault, error)) {
        Require(fault.probability >= 0.0 && fault.probability <= 1.0 && fault.count >= -1);
        injector.Add(fault);
    } else {
        Require(!error.empty());
    }

    Network network(Scenario::Default(), size, std::chrono::milliseconds(20));
    auto now = Clock::now();
    const FaultTiming timing;
    while (!line.empty()) {
        const DecodeResult decoded = DecodeRequest(line, true);
        Require(decoded.consumed <= line.size());
        if (decoded.status == DecodeStatus::NeedMore || decoded.consumed == 0) break;
        line = line.subspan(decoded.consumed);
        if (decoded.status != DecodeStatus::Frame) continue;
        now += std::chrono::milliseconds(50);
        network.Settle(now);
        const Reply reply = network.Handle(decoded.request, now);
        const Bytes expected = Joined(reply.answers);
        const FaultOutcome outcome =
            injector.Apply(decoded.request.command, reply.answers, std::chrono::microseconds(1000), timing);
        if (Fired(outcome, FaultKind::Forget)) network.ForgetWrite(decoded.request.addr);
        if (outcome.applied.empty()) {
            Bytes sent;
            for (const Burst& burst : outcome.bursts) sent.insert(sent.end(), burst.bytes.begin(), burst.bytes.end());
            Require(sent == expected);
        }
    }
    (void)network.ToScenario();
    return 0;
}
