#pragma once
// The search sweep, run on a worker thread started by the search dialog.
#include <QString>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "common/sdk_exchange_guard.h"

inline constexpr int kFirstChannel = 6;   // channel 6 is 2380 MHz, 5 MHz a step
inline constexpr int kChannelCount = 25;  // channels 6 … 30
inline constexpr int kRateCount = 3;      // 0 250K, 1 500K, 2 1M
inline constexpr int kRateNotChosen = -1;

enum SearchMode { kSearchBroadcast = 0, kSearchByAddress = 1 };

// How far a sweep has come: written by the worker, read by the dialog's
// timer. Shared by both, so it outlives whichever goes first.
struct SweepProgress {
    std::atomic<int> pairs{0};     // channel and rate pairs chosen
    std::atomic<int> pairsDone{0};
    std::atomic<int> channel{0};   // the pair being searched
    std::atomic<int> rate{0};
    std::atomic<std::int64_t> msSpent{0};  // on the pairs done
    std::atomic<bool> completed{false};    // every pair searched (not stopped, not failed)
};

// Number of channel and rate pairs a plan's ticks make.
int ChosenPairs(const std::array<bool, kChannelCount>& channels, const std::array<int, kRateCount>& rates);

// "第 3 / 75 组（信道 8，速率 250K）  已找到 2 个设备  剩余约 3 分 20 秒": the pair
// being searched (1-based), the modules found so far and the time left,
// estimated from the pairs done (unknown before the first ends).
QString SweepProgressText(int pair, int pairs, int channel, int rate, int found, std::optional<int> secondsLeft);

// What the worker sweeps: a copy taken when the search starts, so the worker
// never reaches into a dialog that may already be gone.
struct SearchPlan {
    int mode = kSearchBroadcast;
    int address = 0;
    std::array<bool, kChannelCount> channels{};                                         // k stands for channel 6 + k
    std::array<int, kRateCount> rates{kRateNotChosen, kRateNotChosen, kRateNotChosen};  // r or -1
    std::shared_ptr<SweepProgress> progress;  // may be null
};

// 1 while the sweep is to go on. Set by the search action, cleared by the
// stop action and by the worker at its normal end; it only signals.
extern std::atomic<int> SearchRunning;

// The error the worker shows when the local module does not answer.
QString LoadInfoFailedText();
// The error that ends a sweep whose port was lost.
QString SweepPortLostText();

// Reads the local module, then searches every chosen channel (ascending) at
// every chosen rate, testing SearchRunning before each rate step of a chosen
// channel. `lease` is released after the last SDK call, before the normal end
// clears SearchRunning. When the local module cannot be read, the message is
// handed to the window thread (the worker does not wait for it) and
// SearchRunning stays 1: the dialog keeps cycling until the user stops it.
// A lost port ends the sweep at once with its message (and the reason's
// advice), and SearchRunning goes to 0.
void SearchWorker(const SearchPlan& plan, qrvtune::SdkExchangeLease& lease);
