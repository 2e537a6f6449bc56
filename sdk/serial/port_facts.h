// Facts about a port that a user can act on, for the detail of a failed
// open: who holds a busy port, and who may open a port we may not.
#pragma once

#include <sys/stat.h>

#include <string>

namespace qrv {

struct FailureFacts;

// The process behind a busy port, from the flock entries of /proc/locks
// and, failing those, from the descriptors in /proc/*/fd; pid 0 when
// neither names it. `device` is the port's stat.
struct PortHolder {
    long pid = 0;
    std::string program;  // /proc/PID/comm, "" when gone or unreadable
};
PortHolder FindPortHolder(const struct stat& device);
// The command name of a running process, "" when it cannot be read.
std::string ProgramOf(long pid);
// "held by process 4121 (minicom)", "held by process 4121", or "held by
// another process"; the holder also goes into `facts` when given.
std::string DescribeHolder(const PortHolder& holder, FailureFacts* facts = nullptr);
std::string DescribePortHolder(const struct stat& device, FailureFacts* facts = nullptr);

// "crw-rw---- root:dialout"; empty when the path cannot be looked at. The
// owner, group and mode also go into `facts` when given.
std::string DescribeOwnership(const std::string& path, FailureFacts* facts = nullptr);

}  // namespace qrv
