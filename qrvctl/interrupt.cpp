#include "qrvctl/interrupt.h"

namespace qrvctl {

namespace {

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

}  // namespace

#ifdef _WIN32
// Windows resets a signal() handler before calling it, so the second Ctrl-C
// ends the program as on POSIX.
StopOnInterrupt::StopOnInterrupt() {
    stopRequested = false;
    previous_ = signal(SIGINT, RequestStop);
}

StopOnInterrupt::~StopOnInterrupt() { signal(SIGINT, previous_); }
#else
StopOnInterrupt::StopOnInterrupt() {
    stopRequested = false;
    struct sigaction action {};
    action.sa_handler = RequestStop;
    // The handler is reset by the first signal: the second one kills.
    action.sa_flags = SA_RESETHAND | SA_RESTART;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous_);
}

StopOnInterrupt::~StopOnInterrupt() { sigaction(SIGINT, &previous_, nullptr); }
#endif

const std::atomic<bool>& StopOnInterrupt::Requested() { return stopRequested; }

}  // namespace qrvctl
