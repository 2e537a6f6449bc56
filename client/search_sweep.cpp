#include "client/search_sweep.h"

#include "client/fields.h"
#include "client/sdk_link.h"

namespace qrv::client {

std::vector<int> AllChannels() {
    const FieldSpec& channel = FieldSpecOf(FieldId::Channel);
    std::vector<int> all;
    for (std::int64_t c = channel.min; c <= channel.max; ++c) all.push_back(static_cast<int>(c));
    return all;
}

std::vector<int> AllAirRates() {
    std::vector<int> all;
    for (const Choice& c : FieldSpecOf(FieldId::AirRate).choices) all.push_back(c.code);
    return all;
}

using Clock = std::chrono::steady_clock;

std::vector<RadioPair> SweepPairs(std::span<const int> channels, std::span<const int> rates) {
    std::vector<RadioPair> pairs;
    for (int channel : channels)
        for (int rate : rates) pairs.push_back({channel, rate});
    return pairs;
}

Status ReadLocalModule(LocalModuleInfo& out) {
    if (Q_QRV_GetPropertyAll(&out.base, &out.property) != 1) return SdkFailure("reading the local module");
    return {};
}

Status Sweep(std::span<const RadioPair> pairs, std::optional<std::uint16_t> address, const SweepCallbacks& callbacks) {
    Q_QRV_ClearSearchArr();
    const Clock::time_point start = Clock::now();
    SweepProgress progress;
    progress.pairs = pairs.size();
    auto report = [&] {
        if (!callbacks.progress) return;
        progress.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
        progress.left = progress.pair ? progress.elapsed * static_cast<long>(progress.pairs - progress.pair) /
                                            static_cast<long>(progress.pair)
                                      : std::chrono::milliseconds(0);
        callbacks.progress(progress);
    };
    for (const RadioPair& pair : pairs) {
        if (callbacks.stop && callbacks.stop->load()) return Status::Fail(Outcome::Interrupted, "search stopped");
        if (callbacks.stopAtFirst && progress.found > 0) break;
        report();
        const int before = Q_QRV_GetSearchDevCount();
        const int added = address ? Q_QRV_SearchDevByAddr(pair.channel, pair.rate, *address)
                                  : Q_QRV_SearchDev(pair.channel, pair.rate);
        // Silence on a pair is normal; a port that failed (an adapter pulled
        // mid-sweep) fails every pair after it at once.
        if (added != 1 && IsPortReason(LastSdkReason().code))
            return SdkFailure("searching channel " + std::to_string(pair.channel));
        for (int i = before; i < Q_QRV_GetSearchDevCount(); ++i) {
            FoundModule found{i, {}, pair};
            if (Q_QRV_GetRemoteDevBase(&found.base, i) != 1) continue;
            ++progress.found;
            if (callbacks.found) callbacks.found(found);
        }
        ++progress.pair;
    }
    report();
    return {};
}

}  // namespace qrv::client
