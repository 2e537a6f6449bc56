// The SDK's one serial port, and the one place where a failed SDK call
// becomes a status a user can act on.
#pragma once

#include <functional>
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

// A failed SDK call as a status. `what` says what was attempted ("reading
// the local module"). The SDK records why only for a few causes (a closed
// port); a missing and a refused answer look alike, so when the caller can
// ask whether the module still answers (`stillAnswers`), an answering module
// turns the failure into a refusal.
Status SdkFailure(const std::string& what, const std::function<bool()>& stillAnswers = {});

// The messages the SDK raised for the user since the last call (a refused
// firmware image, a file that cannot be read), oldest first.
std::vector<std::string> TakeSdkMessages();

// A UTF-8 path as the SDK's wide-character path.
std::wstring WidePath(const std::string& utf8);

}  // namespace qrv::client
