#pragma once
// The word an upgrade worker leaves its outcome in and the upgrade dialog's
// timer polls. Atomic: it is written on the worker and read on the window
// thread.
#include <atomic>
#include <cstdint>

inline constexpr std::int32_t kUpgradeRunning = 0;
inline constexpr std::int32_t kUpgradeSucceeded = 1;
inline constexpr std::int32_t kUpgradeFailed = 10;

// Process-wide, kUpgradeRunning at start.
std::atomic<std::int32_t>& UpgradeStatus();
