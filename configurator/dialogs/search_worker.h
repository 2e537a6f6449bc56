#pragma once
// The search sweep, run on a worker thread started by the search dialog.
#include <QString>

#include <array>
#include <atomic>

#include "common/sdk_exchange_guard.h"

inline constexpr int kFirstChannel = 6;   // channel 6 is 2380 MHz, 5 MHz a step
inline constexpr int kChannelCount = 25;  // channels 6 … 30
inline constexpr int kRateCount = 3;      // 0 250K, 1 500K, 2 1M
inline constexpr int kRateNotChosen = -1;

enum SearchMode { kSearchBroadcast = 0, kSearchByAddress = 1 };

// What the worker sweeps: a copy taken when the search starts, so the worker
// never reaches into a dialog that may already be gone.
struct SearchPlan {
    int mode = kSearchBroadcast;
    int address = 0;
    std::array<bool, kChannelCount> channels{};                                         // k stands for channel 6 + k
    std::array<int, kRateCount> rates{kRateNotChosen, kRateNotChosen, kRateNotChosen};  // r or -1
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
