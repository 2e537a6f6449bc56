#pragma once
// The configurator's session: one per application, handed to the pages when
// they are built. Whether the port is open is the SDK's own answer, so that
// no copy can disagree with it; the local module's record is the one its
// page last read or wrote, read by the other pages.
#include <cstdint>

#include "qrvlink/qrvlink.h"

class Session {
public:
    // Also true for a port the SDK lost and the window has not closed yet.
    bool PortOpen() const { return Q_ComCheckOpen() == 1; }

    std::int32_t LocalInfoLoaded = 0;  // 1 after the first successful local read, never cleared
    ModuleBase LocalBase{};
    ModuleProperty LocalProperty{};
};
