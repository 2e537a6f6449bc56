// A lock handed out in the order it was asked for (a ticket lock): a thread
// that holds several exchanges together, or a tight loop of calls, cannot
// starve another thread waiting for the same port.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace qrv {

class FairLock {
public:
    void lock() {
        std::unique_lock guard(mutex_);
        const std::uint64_t ticket = next_++;
        turn_.wait(guard, [&] { return serving_ == ticket; });
    }

    void unlock() {
        {
            std::lock_guard guard(mutex_);
            ++serving_;
        }
        turn_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable turn_;
    std::uint64_t next_ = 0;
    std::uint64_t serving_ = 0;
};

}  // namespace qrv
