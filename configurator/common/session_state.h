#pragma once
// The configurator's one shared record: what the main window and the local
// module page learned, read by the other pages.
#include <cstdint>

#include "qrvlink/qrvlink.h"

struct SessionStateRecord {
    std::int32_t PortOpen = 0;         // written by the main window's open/close
    std::int32_t LocalInfoLoaded = 0;  // 1 after the first successful local read, never cleared
    ModuleBase LocalBase{};
    ModuleProperty LocalProperty{};
};

// Created on first use, all zero, and alive until the process ends.
SessionStateRecord& SessionState();
