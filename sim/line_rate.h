// The rate a host has set on its end of the pty. The master sees the
// slave's termios, so the simulator can tell whether the host's UART would
// understand the module's at all.
#pragma once

#include <optional>

namespace qrv::sim {

// Bits per second, nothing when the settings cannot be read.
std::optional<unsigned> HostLineRate(int masterFd);

}  // namespace qrv::sim
