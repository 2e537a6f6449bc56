// CGlobalData: all of the SDK's state, one static instance that lives as long
// as the library is loaded. Reached only by the exports in this folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

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
    // its whole run, so overlapping calls from two threads take turns. The
    // search list has its own guard and needs none.
    std::mutex Exchange;
};

CGlobalData& Global();

// How an export treats Q_GetLastError's code.
enum class CodeRule {
    Untouched,        // leaves it alone
    Cleared,          // clears it, then records 102, 105, 16 or 17 when those are the cause
    ClearedWithPort,  // as Cleared, and 101 for a closed port (the local load)
};

// Records `outcome` as the calling thread's failure, applies `rule` to the
// code, and gives the export's 1/0.
int Finish(CodeRule rule, const Outcome& outcome);

// Runs `operation` on the device holding the exchange lock. A call made from
// inside a handler while this thread already holds the lock (a message,
// progress or trace handler calling back into the library) is refused
// instead of deadlocking.
template <typename Operation>
int Exchanged(CodeRule rule, Operation&& operation);

// The lock itself, for exports that need more than one device call.
class ExchangeLock {
public:
    ExchangeLock();
    ~ExchangeLock();
    ExchangeLock(const ExchangeLock&) = delete;
    ExchangeLock& operator=(const ExchangeLock&) = delete;

    bool Held() const { return held_; }
    static Outcome Refused();

private:
    bool held_ = false;
};

template <typename Operation>
int Exchanged(CodeRule rule, Operation&& operation) {
    const ExchangeLock lock;
    if (!lock.Held()) return Finish(CodeRule::Untouched, ExchangeLock::Refused());
    if (rule != CodeRule::Untouched) Global().LastError.store(Q_ERR_NONE, std::memory_order_relaxed);
    return Finish(rule, operation(Global().Device));
}

}  // namespace qrv
