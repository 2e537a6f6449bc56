// What an operation came to: success, or the reason it failed together with
// the system's error number and one English line naming the facts. Every
// layer of the SDK returns one of these; the exported interface turns it
// into its QRV_FAIL_* reason and, where the interface records one, its
// error code.
#pragma once

#include <cstdint>
#include <string>

namespace qrv {

// As precise as the layer that saw the failure can tell. Several reasons
// share one public QRV_FAIL_* value (BadArgument, BadIndex, TextTooLong and
// NoSuchProperty are all QRV_FAIL_ARGUMENT); the exported error codes tell
// them apart.
enum class Reason : std::uint8_t {
    None,
    PortNotOpen,
    PortNotFound,
    PortPermission,
    PortBusy,
    PortNotSerial,
    PortSettings,
    PortLost,
    WriteFailed,
    NoAnswer,
    BadAnswer,
    Refused,
    BadArgument,     // a null pointer or a value the call cannot use
    BadIndex,        // no search entry at that index
    TextTooLong,     // a text property does not fit the caller's buffer
    NoSuchProperty,  // a property number outside 1..18
    NotLoaded,
    BadImage,
};

// The facts behind a failure as values, so that a front end can write its
// own sentence in its own language instead of reading the detail line.
// Each layer fills what it knows; the rest keeps its "unknown" value.
struct FailureFacts {
    std::string path;           // the device concerned, UTF-8
    long holderPid = 0;         // the process holding a busy port, 0 when unknown
    std::string holderProgram;  // its command name ("minicom")
    std::uint32_t baudRate = 0;
    std::uint32_t timeoutMs = 0;  // the read time-out that ran out
    std::int32_t command = -1;    // command byte of the request, -1 when none
    std::int32_t status = -1;     // status byte of a refusal, -1 when none
    std::int64_t ownerUid = -1;   // the device's owner and group, for a port we may not open
    std::int64_t groupGid = -1;
    std::uint32_t mode = 0;  // its permission bits (0640), 0 when unknown
    std::string ownerName;
    std::string groupName;
};

struct Outcome {
    Reason reason = Reason::None;
    int osError = 0;     // errno of the failing system call (GetLastError() on Windows), 0 when none
    std::string detail;  // one English line; a success may carry a note (how a search ended)
    FailureFacts facts;

    bool Ok() const { return reason == Reason::None; }
};

inline Outcome Success(std::string note = {}) { return Outcome{Reason::None, 0, std::move(note), {}}; }
inline Outcome Failure(Reason reason, std::string detail, int osError = 0) {
    return Outcome{reason, osError, std::move(detail), {}};
}
inline Outcome Failure(Reason reason, std::string detail, int osError, FailureFacts facts) {
    return Outcome{reason, osError, std::move(detail), std::move(facts)};
}

// printf into a std::string, for detail lines (GNU conversions, %zu
// included, on MinGW too).
std::string Printf(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
// The system's text for an errno value ("No such file or directory"), or
// for a GetLastError() value on Windows.
std::string SystemMessage(int error);

}  // namespace qrv
