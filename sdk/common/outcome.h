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

struct Outcome {
    Reason reason = Reason::None;
    int osError = 0;     // errno of the failing system call (GetLastError() on Windows), 0 when none
    std::string detail;  // one English line; a success may carry a note (how a search ended)

    bool Ok() const { return reason == Reason::None; }
};

inline Outcome Success(std::string note = {}) { return Outcome{Reason::None, 0, std::move(note)}; }
inline Outcome Failure(Reason reason, std::string detail, int osError = 0) {
    return Outcome{reason, osError, std::move(detail)};
}

// printf into a std::string, for detail lines (GNU conversions, %zu
// included, on MinGW too).
std::string Printf(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
// The system's text for an errno value ("No such file or directory"), or
// for a GetLastError() value on Windows.
std::string SystemMessage(int error);

}  // namespace qrv
