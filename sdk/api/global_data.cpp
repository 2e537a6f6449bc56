#include "api/global_data.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "api/last_failure.h"

namespace qrv {

namespace {

// Constructed when the library is loaded, before any export can run, and
// destroyed when it is unloaded.
QRV_CTX defaultContext;

// The contexts whose exchange lock this thread holds: inside an exchange
// (a handler must not wait for the lock its own thread holds) and/or
// through Q_CtxLock (depth of nested pairs).
struct Holding {
    const CGlobalData* context;
    int clientDepth;
    bool inExchange;
};
thread_local std::vector<Holding> holdings;

Holding* HoldingOf(const CGlobalData& context) {
    const auto found = std::find_if(holdings.begin(), holdings.end(),
                                    [&](const Holding& h) { return h.context == &context; });
    return found == holdings.end() ? nullptr : &*found;
}

void Forget(const CGlobalData& context) {
    std::erase_if(holdings, [&](const Holding& h) { return h.context == &context; });
}

std::int32_t ErrorCodeFor(const Outcome& outcome, CodeRule rule) {
    switch (outcome.reason) {
        case Reason::NotLoaded:
            return Q_ERR_NOT_LOADED;
        case Reason::BadIndex:
            return Q_ERR_BAD_INDEX;
        case Reason::TextTooLong:
            return Q_ERR_TEXT_TOO_LONG;
        case Reason::NoSuchProperty:
            return Q_ERR_NO_SUCH_PROPERTY;
        case Reason::PortNotOpen:
            return rule == CodeRule::ClearedWithPort ? Q_ERR_PORT_NOT_OPEN : Q_ERR_NONE;
        default:
            // A failed exchange records no code.
            return Q_ERR_NONE;
    }
}

}  // namespace

CGlobalData::CGlobalData() {
    Serial.SetObserver(&Trace);
    // QRVLINK_TRACE=stderr or =PATH: every frame as a decoded line, no code needed.
    if (const char* where = std::getenv("QRVLINK_TRACE"); where != nullptr && where[0] != '\0') {
        // Said once and then ignored: a program must load even when its trace cannot be written.
        if (!Trace.WriteLinesTo(where)) {
            const int error = errno;
            const char* why = error == ENXIO    ? "a FIFO or device that nothing reads from"
                              : error == EINVAL ? "neither a file, a terminal nor a pipe"
                                                : std::strerror(error);
            std::fprintf(stderr, "Qrvlink: QRVLINK_TRACE: cannot write to %s: %s; no trace is written\n", where, why);
        }
    }
    if (const char* tolerant = std::getenv("QRVLINK_TOLERANT_READS"); tolerant != nullptr && std::strcmp(tolerant, "1") == 0)
        Device.TolerantReads.store(true);
}

CGlobalData::~CGlobalData() { Serial.Close(); }

QRV_CTX* DefaultCtx() { return &defaultContext; }

int Finish(CGlobalData& context, CodeRule rule, const Outcome& outcome) {
    RecordFailure(outcome);
    if (rule != CodeRule::Untouched)
        context.LastError.store(ErrorCodeFor(outcome, rule), std::memory_order_relaxed);
    return outcome.Ok() ? 1 : 0;
}

CallOn::CallOn(QRV_CTX* context) : context_(context) {
    if (context_ == nullptr) return;
    std::lock_guard guard(context_->CallsMutex);
    if (context_->Closing) return;
    ++context_->Calls;
    entered_ = true;
}

CallOn::~CallOn() {
    if (!entered_) return;
    // Notified under the lock: once the count reads 0 a freeing thread may
    // delete the context, so nothing of it is touched after the unlock.
    std::lock_guard guard(context_->CallsMutex);
    --context_->Calls;
    context_->CallsDone.notify_all();
}

Outcome CallOn::Why() const {
    return Failure(Reason::BadArgument, context_ == nullptr ? "no context (null QRV_CTX)"
                                                            : "the context is being freed by another thread");
}

ExchangeLock::ExchangeLock(CGlobalData& context) : context_(context) {
    Holding* holding = HoldingOf(context_);
    if (holding != nullptr && holding->inExchange) return;
    if (holding == nullptr) {
        context_.Exchange.lock();
        holdings.push_back({&context_, 0, true});
        owns_ = true;
    } else {
        holding->inExchange = true;  // held through Q_CtxLock
    }
    held_ = true;
}

ExchangeLock::~ExchangeLock() {
    if (!held_) return;
    if (owns_) {
        Forget(context_);
        context_.Exchange.unlock();
    } else if (Holding* holding = HoldingOf(context_); holding != nullptr) {
        holding->inExchange = false;
    }
}

Outcome ExchangeLock::Refused() {
    return Failure(Reason::BadArgument,
                   "called from a handler while this thread's own exchange with the module runs; call it afterwards");
}

bool HoldExchanges(CGlobalData& context) {
    Holding* holding = HoldingOf(context);
    if (holding != nullptr) {
        if (holding->inExchange) return false;
        ++holding->clientDepth;
        return true;
    }
    context.Exchange.lock();
    holdings.push_back({&context, 1, false});
    return true;
}

bool ReleaseExchanges(CGlobalData& context) {
    Holding* holding = HoldingOf(context);
    if (holding == nullptr || holding->inExchange || holding->clientDepth == 0) return false;
    if (--holding->clientDepth == 0) {
        Forget(context);
        context.Exchange.unlock();
    }
    return true;
}

void FreeContext(QRV_CTX* context) {
    if (context == nullptr || context == DefaultCtx()) return;
    const Holding* holding = HoldingOf(*context);
    if (holding != nullptr && holding->inExchange) return;
    // A thread freeing what it holds through Q_CtxLock lets go first, so
    // calls queued behind it can end.
    const bool ownLock = holding != nullptr;
    if (ownLock) Forget(*context);
    {
        std::unique_lock guard(context->CallsMutex);
        context->Closing = true;
        if (ownLock) context->Exchange.unlock();
        context->CallsDone.wait(guard, [&] { return context->Calls == 0; });
    }
    // A client holding the lock without a call running still owns the port.
    context->Exchange.lock();
    context->Serial.Close();
    context->Exchange.unlock();
    delete context;
}

}  // namespace qrv
