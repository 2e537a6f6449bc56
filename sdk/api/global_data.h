// CGlobalData: all the state of one port — the serial link, its module, the
// search list, the handlers and the last error code. A program holds one per
// adapter through the context exports (QRV_CTX is this class); the flat
// exports use the one default context, which lives as long as the library is
// loaded. Reached only by the exports in this folder.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "common/fair_lock.h"
#include "common/handler_slot.h"
#include "common/outcome.h"
#include "device/line_trace.h"
#include "device/qrv_dev.h"
#include "device/waits.h"
#include "qrvlink/qrvlink.h"
#include "serial/serial_port.h"

namespace qrv {

class CGlobalData {
public:
    CGlobalData();
    // Closes the port before the device (and with it every search entry) goes.
    virtual ~CGlobalData();
    CGlobalData(const CGlobalData&) = delete;
    CGlobalData& operator=(const CGlobalData&) = delete;

    SerialPort Serial;
    // Q_GetLastError's code: written by the exports that record one, read
    // from any thread.
    std::atomic<std::int32_t> LastError{0};
    PortWaits Waits{Serial};
    CQRVDev Device{Serial, Waits};
    LineTrace Trace;
    HandlerSlot<Q_MessageHandler> Messages;
    HandlerSlot<Q_ProgressHandler> Progress;
    // Held by every export that touches the port or the device's records for
    // its whole run, so overlapping calls from two threads take turns, in
    // the order they came. A client may hold it across several calls
    // (Q_CtxLock). The search list has its own guard and needs none.
    FairLock Exchange;

    // Calls running on this context, so that freeing it waits for them.
    std::mutex CallsMutex;
    std::condition_variable CallsDone;
    int Calls = 0;
    bool Closing = false;
};

}  // namespace qrv

// The public handle is the state itself.
struct QRV_CTX final : qrv::CGlobalData {};

namespace qrv {

// The context of the flat exports.
QRV_CTX* DefaultCtx();

// How an export treats Q_GetLastError's code.
enum class CodeRule {
    Untouched,        // leaves it alone
    Cleared,          // clears it, then records 102, 105, 16 or 17 when those are the cause
    ClearedWithPort,  // as Cleared, and 101 for a closed port (the local load)
};

// Records `outcome` as the calling thread's failure, applies `rule` to the
// context's code, and gives the export's 1/0.
int Finish(CGlobalData& context, CodeRule rule, const Outcome& outcome);

// Counts a call on a context for as long as it runs. Not entered for a null
// context or one being freed; the call then fails with Why().
class CallOn {
public:
    explicit CallOn(QRV_CTX* context);
    ~CallOn();
    CallOn(const CallOn&) = delete;
    CallOn& operator=(const CallOn&) = delete;

    bool Entered() const { return entered_; }
    Outcome Why() const;

private:
    QRV_CTX* context_;
    bool entered_ = false;
};

// The context's exchange lock for one export. A call made from inside a
// handler while this thread is already inside an exchange on the same
// context (a message, progress or trace handler calling back into the
// library) is refused instead of deadlocking; a handler may use another
// context freely. A thread holding the lock through Q_CtxLock passes
// straight through.
class ExchangeLock {
public:
    explicit ExchangeLock(CGlobalData& context);
    ~ExchangeLock();
    ExchangeLock(const ExchangeLock&) = delete;
    ExchangeLock& operator=(const ExchangeLock&) = delete;

    bool Held() const { return held_; }
    static Outcome Refused();

private:
    CGlobalData& context_;
    bool held_ = false;
    bool owns_ = false;
};

// Q_CtxLock / Q_CtxUnlock: the exchange lock held across calls by this
// thread (nested pairs count). False when refused: from inside an exchange
// on the context, or an unlock by a thread that does not hold it.
bool HoldExchanges(CGlobalData& context);
bool ReleaseExchanges(CGlobalData& context);

// Q_CtxFree: waits for the calls on the context, closes its port and frees
// it. Ignored from inside one of its own exchanges (a handler).
void FreeContext(QRV_CTX* context);

// Runs body(context) as one call on the context; `refused` with the failure
// recorded when the context is null or being freed.
template <typename Result, typename Body>
Result OnContext(QRV_CTX* context, Result refused, Body&& body) {
    const CallOn call(context);
    if (!call.Entered()) {
        Finish(*DefaultCtx(), CodeRule::Untouched, call.Why());
        return refused;
    }
    return body(*context);
}

// Runs `operation` on the context's device holding its exchange lock.
template <typename Operation>
int Exchanged(QRV_CTX* context, CodeRule rule, Operation&& operation) {
    return OnContext(context, 0, [&](CGlobalData& state) {
        const ExchangeLock lock(state);
        if (!lock.Held()) return Finish(state, CodeRule::Untouched, ExchangeLock::Refused());
        if (rule != CodeRule::Untouched) state.LastError.store(Q_ERR_NONE, std::memory_order_relaxed);
        return Finish(state, rule, operation(state.Device));
    });
}

}  // namespace qrv
