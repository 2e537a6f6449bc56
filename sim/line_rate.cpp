// termios2 carries the rate as a number whatever way the host set it (a
// Bxxx code or an arbitrary rate); its header cannot share a file with
// <termios.h>, so this file holds nothing else.
#include "sim/line_rate.h"

#include <asm/ioctls.h>
#include <asm/termbits.h>

extern "C" int ioctl(int fd, unsigned long request, ...);

namespace qrv::sim {

std::optional<unsigned> HostLineRate(int masterFd) {
    termios2 settings{};
    if (ioctl(masterFd, TCGETS2, &settings) != 0) return std::nullopt;
    return settings.c_ospeed;
}

}  // namespace qrv::sim
