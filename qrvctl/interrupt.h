// Ctrl-C for the long commands (search, monitor): the first one raises a
// flag the command checks between exchanges, so it ends cleanly; a second
// one ends the program at once.
#pragma once

#include <signal.h>

#include <atomic>

namespace qrvctl {

class StopOnInterrupt {
public:
    StopOnInterrupt();
    ~StopOnInterrupt();
    StopOnInterrupt(const StopOnInterrupt&) = delete;
    StopOnInterrupt& operator=(const StopOnInterrupt&) = delete;

    // Raised by the first Ctrl-C since this object was made.
    static const std::atomic<bool>& Requested();

private:
#ifdef _WIN32
    void (*previous_)(int) = nullptr;
#else
    struct sigaction previous_ {};
#endif
};

}  // namespace qrvctl
