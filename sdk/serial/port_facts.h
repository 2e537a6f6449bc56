// Facts about a port that a user can act on, for the detail of a failed
// open: who holds a busy port, and who may open a port we may not.
#pragma once

#include <sys/stat.h>

#include <string>

namespace qrv {

// "held by process 4121 (minicom)", from the flock entries of /proc/locks
// and, failing those, from the descriptors in /proc/*/fd; "held by another
// process" when neither names it. `device` is the port's stat.
std::string DescribePortHolder(const struct stat& device);

// "crw-rw---- root:dialout"; empty when the path cannot be looked at.
std::string DescribeOwnership(const std::string& path);

}  // namespace qrv
