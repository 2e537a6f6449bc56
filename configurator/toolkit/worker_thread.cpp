#include "toolkit/worker_thread.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace qrvtune {

struct WorkerThread::State {
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
};

WorkerThread WorkerThread::Start(std::function<void()> work) {
    auto state = std::make_shared<State>();
    std::thread([state, work = std::move(work)] {
        work();
        {
            std::lock_guard lock(state->mutex);
            state->done = true;
        }
        state->ended.notify_all();
    }).detach();
    return WorkerThread(std::move(state));
}

bool WorkerThread::Wait(int timeoutMs) const {
    std::unique_lock lock(state_->mutex);
    return state_->ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return state_->done; });
}

}  // namespace qrvtune
