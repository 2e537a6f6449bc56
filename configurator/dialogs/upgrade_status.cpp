#include "dialogs/upgrade_status.h"

std::atomic<std::int32_t>& UpgradeStatus() {
    // Never freed: a worker may still write it while the process winds down.
    static auto* const status = new std::atomic<std::int32_t>{kUpgradeRunning};
    return *status;
}
