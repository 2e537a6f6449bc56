#pragma once
// A worker thread started with a function and waited for with a time-out.
// The thread owns its function and shared end flag, so the starter may go
// away (a dialog closed mid-search) while the worker is still running.
#include <functional>
#include <memory>

namespace qrvtune {

class WorkerThread {
public:
    // Starts `work` at once on a new thread.
    static WorkerThread Start(std::function<void()> work);

    // True when the worker has ended; waits at most `timeoutMs` for it.
    bool Wait(int timeoutMs) const;
    bool Finished() const { return Wait(0); }

    struct State;

private:
    explicit WorkerThread(std::shared_ptr<State> state) : state_(std::move(state)) {}
    std::shared_ptr<State> state_;
};

}  // namespace qrvtune
