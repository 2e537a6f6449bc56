// What a client operation came to: success, or the kind of failure with a
// message for the user. The kinds are what a script needs to tell apart;
// qrvctl turns each into an exit code of its own.
#pragma once

#include <string>
#include <utility>

namespace qrv::client {

enum class Outcome {
    Ok,
    Usage,        // the request itself is wrong: bad field, bad value, bad option
    Port,         // the serial port cannot be opened or used
    NoAnswer,     // the module did not answer
    Refused,      // the module (or its password) refused the request
    Mismatch,     // what the module reports differs from what was written or expected
    File,         // a profile or image file cannot be read, written or understood
    Interrupted,  // the user stopped the operation
};

struct Status {
    Outcome outcome = Outcome::Ok;
    std::string message;

    bool Ok() const { return outcome == Outcome::Ok; }
    static Status Success() { return {}; }
    static Status Fail(Outcome outcome, std::string message) { return {outcome, std::move(message)}; }
};

}  // namespace qrv::client
