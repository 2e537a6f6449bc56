// qrvctl's exit codes: one per kind of outcome, listed in --help and the
// manual page, so scripts can tell a missing module from a refused write.
#pragma once

#include "client/status.h"

namespace qrvctl {

enum ExitCode {
    kExitOk = 0,
    kExitFailure = 1,      // a file cannot be read or written, or is no valid profile or image
    kExitUsage = 2,        // bad command line, field name or value: nothing was sent
    kExitPort = 3,         // the port cannot be opened or used
    kExitNoAnswer = 4,     // no module answered
    kExitRefused = 5,      // the module or its password refused the request
    kExitMismatch = 6,     // the read-back differs from what was written; profile diff found differences
    kExitInterrupted = 130,  // stopped with Ctrl-C
};

int ExitCodeFor(qrv::client::Outcome outcome);

// The list as --help and the manual page show it.
extern const char* const kExitCodeHelp;

}  // namespace qrvctl
