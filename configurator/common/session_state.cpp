#include "common/session_state.h"

SessionStateRecord& SessionState() {
    // Never freed: pages may still read it while the process winds down.
    static auto* const record = new SessionStateRecord{};
    return *record;
}
