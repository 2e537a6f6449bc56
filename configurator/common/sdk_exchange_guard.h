#pragma once
// Who may talk to the module now, among the configurator's own threads. The
// SDK keeps two exchanges apart itself (its exchange lock, taken by every call
// and holdable across calls with Q_LockExchanges), but a thread waiting for
// that lock blocks: the window thread must instead keep serving events while
// a worker runs (the worker may need it for a message box), show the busy
// cursor, and hand its turn to a worker it starts. The lease does that.
//
// Whoever talks to the module holds the link through a lease:
// - a worker (search sweep, firmware upgrade) for its whole run: the window
//   thread takes the lease with AcquireForWorker() and moves it into the
//   worker, which releases it after its last SDK call;
// - the window thread around each run of SDK calls with Acquire(), released
//   before any message box or dialog opens.
// A worker that outlives its dialog's stop wait keeps the link until it ends;
// a window-thread caller meanwhile waits with the busy cursor.
//
// The result-store reads Q_QRV_GetSearchDevCount and Q_QRV_GetRemoteDevBase
// never touch the port and are safe beside a running search: they need no
// lease.

#include <optional>
#include <type_traits>
#include <utility>

namespace qrvtune {

class SdkExchangeLease {
public:
    SdkExchangeLease() = default;
    SdkExchangeLease(SdkExchangeLease&& other) noexcept;
    SdkExchangeLease& operator=(SdkExchangeLease&& other) noexcept;
    SdkExchangeLease(const SdkExchangeLease&) = delete;
    SdkExchangeLease& operator=(const SdkExchangeLease&) = delete;
    ~SdkExchangeLease() { Release(); }

    // True while this lease holds the link.
    explicit operator bool() const { return held_; }
    // Frees the link; may run on any thread; a second call does nothing.
    void Release();

private:
    friend class SdkExchangeGuard;
    explicit SdkExchangeLease(bool held) : held_(held) {}

    bool held_ = false;
};

class SdkExchangeGuard {
public:
    // Window thread: waits until the link is free, then holds it. While it
    // waits the busy cursor shows, user input is held back and every other
    // event is served (a worker's message box, timers). Returns an empty lease
    // when the window thread itself holds the link further up its stack (a
    // handler run by a nested event loop), where the wait could never end.
    // Called on another thread it simply blocks until the link is free.
    static SdkExchangeLease Acquire();

    // As Acquire, for a lease that the caller moves into a worker it starts.
    static SdkExchangeLease AcquireForWorker();

    // Any thread: holds the link when it is free, else an empty lease.
    static SdkExchangeLease TryAcquire();

    // True while some lease holds the link.
    static bool Busy();

private:
    static SdkExchangeLease Hold(bool forWorker);
};

// Window thread: runs `exchange` (a run of SDK calls, no dialog or message
// box inside) holding the link. Nothing when the link cannot be held here.
template <typename Exchange>
std::optional<std::invoke_result_t<Exchange>> WithSdkLink(Exchange&& exchange) {
    const SdkExchangeLease lease = SdkExchangeGuard::Acquire();
    if (!lease) return std::nullopt;
    return std::forward<Exchange>(exchange)();
}

}  // namespace qrvtune
