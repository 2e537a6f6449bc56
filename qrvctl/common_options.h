// The options every command takes, and where far modules are looked for.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qrvctl {

struct CommonOptions {
    std::string port;   // empty: the one port where detection finds a module
    int baud = 0;       // 0: detected
    int timeoutMs = 0;  // 0: matched to the rate
    bool json = false;
    bool quiet = false;
    bool trace = false;  // the SDK's frame traffic on standard error
    // The command changes the module: without --port it refuses when any
    // candidate port could not be examined (the module meant may be there).
    bool writes = false;
    bool showPassword = false;  // info and set show the module's password
    bool tolerantReads = false;  // read answers that arrive in pieces (Q_SetTolerantReads)
};

// Channel/rate pairs to look on: the given channels and rates, every one
// with --all, else the local module's own.
struct WhereOptions {
    std::vector<int> channels;
    std::vector<std::string> rates;
    bool all = false;
};

}  // namespace qrvctl
