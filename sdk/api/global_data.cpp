#include "api/global_data.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "api/last_failure.h"

namespace qrv {

namespace {

// Constructed when the library is loaded, before any export can run, and
// destroyed when it is unloaded.
CGlobalData globalData;

// Set while this thread holds the exchange lock: a handler called from
// inside an exchange must not wait for the lock its own thread holds.
thread_local bool holdsExchange = false;

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
        if (!Trace.WriteLinesTo(where))
            std::fprintf(stderr, "Qrvlink: QRVLINK_TRACE: cannot open %s: %s\n", where, std::strerror(errno));
    }
    if (const char* tolerant = std::getenv("QRVLINK_TOLERANT_READS"); tolerant != nullptr && std::strcmp(tolerant, "1") == 0)
        Device.TolerantReads.store(true);
}

CGlobalData::~CGlobalData() { Serial.Close(); }

CGlobalData& Global() { return globalData; }

int Finish(CodeRule rule, const Outcome& outcome) {
    RecordFailure(outcome);
    if (rule != CodeRule::Untouched)
        Global().LastError.store(ErrorCodeFor(outcome, rule), std::memory_order_relaxed);
    return outcome.Ok() ? 1 : 0;
}

ExchangeLock::ExchangeLock() {
    if (holdsExchange) return;
    Global().Exchange.lock();
    holdsExchange = true;
    held_ = true;
}

ExchangeLock::~ExchangeLock() {
    if (!held_) return;
    holdsExchange = false;
    Global().Exchange.unlock();
}

Outcome ExchangeLock::Refused() {
    return Failure(Reason::BadArgument,
                   "called from a handler while this thread's own exchange with the module runs; call it afterwards");
}

}  // namespace qrv
