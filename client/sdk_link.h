// The SDK's one serial port, and the one place where a failed SDK call
// becomes a status a user can act on.
#pragma once

#include <string>
#include <vector>

#include "client/status.h"

namespace qrv::client {

// 8 data bits, no parity, one stop bit unless said otherwise; the codes are
// the SDK's (parity 0 none .. 4 space, stop bits 0 one, 1 one and a half, 2 two).
struct LineSettings {
    std::string port;
    int baud = 115200;
    int readTimeoutMs = 200;
    int dataBits = 8;
    int parity = 0;
    int stopBits = 0;
};

Status OpenPort(const LineSettings& settings);
void ClosePort();

// Sends the SDK's user messages to TakeSdkMessages() instead of standard
// error. A program with message boxes of its own keeps its handler.
void CollectSdkMessages();

// Why the calling thread's last SDK call failed, as the SDK records it
// (QRV_FAIL_*, its English detail line and the system's errno). Read it on
// the failing call's thread, before any other SDK call.
// The facts come as fields from Q_GetLastFailureInfo; the detail line is
// shown as it is, never read for them.
struct SdkReason {
    int code = 0;
    std::string detail;
    int osError = 0;
    std::string path;    // the port concerned, "" when unknown
    long holderPid = 0;  // a busy port's holder, 0 when unknown
    std::string holderProgram;
    std::string groupName;  // a device's group when permission was denied, "" when unknown
};
SdkReason LastSdkReason();

// What a reason means to a script: a port failure, no (usable) answer, a
// refusal, a bad image.
Outcome OutcomeOfReason(int code);
// What the user can do about it ("join the dialout group: ..."); empty when
// the detail says all there is.
std::string ReasonHint(int code);
// The same, naming what the facts know: the program that holds the port,
// and for a device outside the dialout group, that joining it does not help.
std::string ReasonHint(const SdkReason& reason);

// The failed SDK call just made, as a status: "`what`: the SDK's detail",
// with the hint on a second line. `what` says what was attempted ("reading
// the local module").
Status SdkFailure(const std::string& what);

// True when the reason says the port itself failed (it cannot be opened or
// used, or went away): nothing more can be done on it in this command.
bool IsPortReason(int code);

// The messages the SDK raised for the user since the last call (a refused
// firmware image, a file that cannot be read), oldest first.
std::vector<std::string> TakeSdkMessages();

// A UTF-8 path as the SDK's wide-character path.
std::wstring WidePath(const std::string& utf8);

}  // namespace qrv::client
