#include "qrvctl/exit_codes.h"

namespace qrvctl {

using qrv::client::Outcome;

int ExitCodeFor(Outcome outcome) {
    switch (outcome) {
        case Outcome::Ok: return kExitOk;
        case Outcome::Usage: return kExitUsage;
        case Outcome::Port: return kExitPort;
        case Outcome::NoAnswer: return kExitNoAnswer;
        case Outcome::Refused: return kExitRefused;
        case Outcome::Mismatch: return kExitMismatch;
        case Outcome::File: return kExitFailure;
        case Outcome::Interrupted: return kExitInterrupted;
    }
    return kExitFailure;
}

const char* const kExitCodeHelp =
    "Exit codes:\n"
    "  0    success\n"
    "  1    a file cannot be read or written, or is not a valid profile or image\n"
    "  2    usage error: bad command line, field name or value (nothing was sent)\n"
    "  3    the serial port cannot be opened or used, or was lost during the command\n"
    "  4    no module answered (or only with garbled answers)\n"
    "  5    the module or its password refused the request\n"
    "  6    verification mismatch: the module reports other values than were written\n"
    "       (profile diff: the module differs from the profile)\n"
    "  130  stopped with Ctrl-C\n";

}  // namespace qrvctl
