// Searching the radio network one channel/air-rate pair at a time, with
// results and progress reported as they come and a stop flag checked
// between pairs (each search ends with the radio tuned home).
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "client/status.h"
#include "qrvlink/qrvlink.h"

namespace qrv::client {

// Every channel and every air rate code a module takes, from the field table.
std::vector<int> AllChannels();
std::vector<int> AllAirRates();

struct RadioPair {
    int channel = 0;
    int rate = 0;
    friend bool operator==(const RadioPair&, const RadioPair&) = default;
};

// Every channel with every rate, channel by channel.
std::vector<RadioPair> SweepPairs(std::span<const int> channels, std::span<const int> rates);

struct LocalModuleInfo {
    ModuleBase base{};
    ModuleProperty property{};
    RadioPair Home() const { return {property.Channel, property.AirRate}; }
};
// Reads the local module; every far operation needs its home pair.
Status ReadLocalModule(LocalModuleInfo& out);

struct FoundModule {
    int index = 0;  // in the SDK's search list
    ModuleBase base{};
    RadioPair pair;
};

struct SweepProgress {
    std::size_t pair = 0, pairs = 0;  // pairs done, of
    std::size_t found = 0;
    std::chrono::milliseconds elapsed{0}, left{0};
};

struct SweepCallbacks {
    std::function<void(const FoundModule&)> found;
    std::function<void(const SweepProgress&)> progress;  // before each pair and at the end
    const std::atomic<bool>* stop = nullptr;             // checked between pairs
    bool stopAtFirst = false;
};

// Clears the search list and searches each pair (for `address` only, when
// given). Interrupted when the stop flag was raised.
Status Sweep(std::span<const RadioPair> pairs, std::optional<std::uint16_t> address, const SweepCallbacks& callbacks);

}  // namespace qrv::client
