#pragma once
// The word an upgrade worker leaves its outcome in and the upgrade dialog's
// timer polls. Atomic: it is written on the worker and read on the window
// thread.
#include <atomic>
#include <cstdint>
#include <mutex>

#include "common/sdk_failure.h"

inline constexpr std::int32_t kUpgradeRunning = 0;
inline constexpr std::int32_t kUpgradeSucceeded = 1;
inline constexpr std::int32_t kUpgradeFailed = 10;

// Process-wide, kUpgradeRunning at start.
std::atomic<std::int32_t>& UpgradeStatus();

// What one upgrade run shares between its worker and the dialog: the blocks
// done of the total (from the SDK's progress handler, on the worker) and,
// once it failed, why. The dialog reads them on its timer.
class UpgradeRun {
public:
    // The SDK's progress handler; `user` is the run.
    static void NoteProgress(void* user, std::int32_t done, std::int32_t total);

    std::int32_t Done() const { return done_.load(); }
    std::int32_t Total() const { return total_.load(); }

    void SetFailure(const qrvtune::SdkFailure& failure);
    qrvtune::SdkFailure Failure() const;

private:
    std::atomic<std::int32_t> done_{0};
    std::atomic<std::int32_t> total_{0};
    mutable std::mutex mutex_;
    qrvtune::SdkFailure failure_;
};

// The bar's position, 0 to 100, for `done` of `total` blocks (0 while no total is known).
int UpgradePercent(std::int32_t done, std::int32_t total);
