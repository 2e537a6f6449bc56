#include "dialogs/upgrade_status.h"

std::atomic<std::int32_t>& UpgradeStatus() {
    // Never freed: a worker may still write it while the process winds down.
    static auto* const status = new std::atomic<std::int32_t>{kUpgradeRunning};
    return *status;
}

void UpgradeRun::NoteProgress(void* user, std::int32_t done, std::int32_t total) {
    auto* run = static_cast<UpgradeRun*>(user);
    // The total first: the dialog never sees a count without its total.
    run->total_.store(total);
    run->done_.store(done);
}

void UpgradeRun::SetFailure(const qrvtune::SdkFailure& failure) {
    std::lock_guard lock(mutex_);
    failure_ = failure;
}

qrvtune::SdkFailure UpgradeRun::Failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

int UpgradePercent(std::int32_t done, std::int32_t total) {
    if (total <= 0 || done <= 0) return 0;
    if (done >= total) return 100;
    return static_cast<int>(std::int64_t{done} * 100 / total);
}
