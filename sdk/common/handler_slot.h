// A caller's callback and its user pointer, replaceable by one thread while
// another calls it. Set() returns once no call of the old pair is running
// (calls made on the setting thread itself excepted, so a handler may
// replace itself), so the caller may free what the old user pointer names.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace qrv {

template <typename Handler>
class HandlerSlot {
public:
    void Set(Handler handler, void* user) {
        std::unique_lock lock(mutex_);
        handler_ = handler;
        user_ = user;
        set_.store(handler != nullptr, std::memory_order_relaxed);
        const auto self = std::this_thread::get_id();
        idle_.wait(lock, [&] {
            return std::all_of(callers_.begin(), callers_.end(), [&](std::thread::id id) { return id == self; });
        });
    }

    // A cheap look before any work is done for a call.
    bool IsSet() const { return set_.load(std::memory_order_relaxed); }

    // Runs invoke(handler, user) when a handler is set; false when none is.
    template <typename Invoke>
    bool Call(Invoke&& invoke) {
        Handler handler = nullptr;
        void* user = nullptr;
        {
            std::lock_guard lock(mutex_);
            if (handler_ == nullptr) return false;
            handler = handler_;
            user = user_;
            callers_.push_back(std::this_thread::get_id());
        }
        invoke(handler, user);
        {
            std::lock_guard lock(mutex_);
            callers_.erase(std::find(callers_.begin(), callers_.end(), std::this_thread::get_id()));
        }
        idle_.notify_all();
        return true;
    }

private:
    std::mutex mutex_;
    std::condition_variable idle_;
    Handler handler_ = nullptr;
    void* user_ = nullptr;
    std::atomic<bool> set_{false};
    std::vector<std::thread::id> callers_;  // threads inside a call now
};

}  // namespace qrv
