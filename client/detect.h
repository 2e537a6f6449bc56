// Finding where a module is: each port at each rate of the configurator's
// list, fastest first, with a read time-out just long enough for a whole
// load at that rate. A port with no module costs one silent load per rate.
#pragma once

#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "client/module_access.h"
#include "client/status.h"

namespace qrv::client {

// 460800 .. 1200.
std::span<const int> DetectRates();
// Room for a load's longer exchange (7-byte request, 63-byte answer) on the
// wire at `baud`, plus a margin for the module's own latency.
int DetectReadTimeoutMs(int baud);
// The read time-out commands use by default: a far module's answer crosses
// the air twice, so the margin is larger.
int CommandReadTimeoutMs(int baud);
// What a scan of one silent port costs at least: at every rate the load's
// first pause and one read time-out.
std::chrono::milliseconds SilentPortScanFloor();

struct Detection {
    std::string port;
    int baud = 0;
    ModuleRecords module;
};

struct PortScan {
    std::string port;
    std::vector<int> ratesTried;
    bool opened = false;  // the port opened at one rate at least
    // Why the port could not be used (it did not open, or went away during
    // the scan); Ok when it was merely silent.
    Status portFailure;
    std::optional<Detection> found;
};

// Scans each port in turn and leaves the port closed.
std::vector<PortScan> Detect(std::span<const std::string> ports);

}  // namespace qrv::client
