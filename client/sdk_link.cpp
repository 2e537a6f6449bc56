#include "client/sdk_link.h"

#include <cstring>
#include <mutex>

#include "qrvlink/qrvlink.h"
#include "text/module_text.h"

namespace qrv::client {

namespace {

std::mutex messagesMutex;
std::vector<std::string> messages;

// The SDK calls this on the thread of the call that raised the message.
void CollectMessage(int /*kind*/, const char* text, void* /*user*/) {
    std::lock_guard lock(messagesMutex);
    messages.emplace_back(text ? text : "");
}

// What a reason means when the SDK gave no detail line.
const char* ReasonText(int code) {
    switch (code) {
        case QRV_FAIL_PORT_NOT_OPEN: return "the port is not open";
        case QRV_FAIL_PORT_NOT_FOUND: return "no such serial port";
        case QRV_FAIL_PORT_PERMISSION: return "no permission to open the port";
        case QRV_FAIL_PORT_BUSY: return "the port is held by another program";
        case QRV_FAIL_PORT_NOT_SERIAL: return "not a serial port";
        case QRV_FAIL_PORT_SETTINGS: return "the port refuses the line settings";
        case QRV_FAIL_PORT_LOST: return "the serial port was lost";
        case QRV_FAIL_WRITE: return "the request could not be written";
        case QRV_FAIL_NO_ANSWER: return "no answer from the module";
        case QRV_FAIL_BAD_ANSWER: return "the module's answer was garbled";
        case QRV_FAIL_REFUSED: return "the module refused the request";
        case QRV_FAIL_ARGUMENT: return "the request was not valid";
        case QRV_FAIL_NOT_LOADED: return "the module's record was never read";
        case QRV_FAIL_IMAGE: return "the firmware image was refused";
        default: return "failed for a reason the SDK did not record";
    }
}

}  // namespace

std::wstring WidePath(const std::string& utf8) {
    const std::optional<std::string> wide = text::ConvertExact(utf8, "UTF-8", "WCHAR_T");
    if (!wide) return {};
    std::wstring out(wide->size() / sizeof(wchar_t), L'\0');
    std::memcpy(out.data(), wide->data(), out.size() * sizeof(wchar_t));
    return out;
}

void CollectSdkMessages() { Q_SetMessageHandler(CollectMessage, nullptr); }

Status OpenPort(const LineSettings& s) {
    const std::wstring path = WidePath(s.port);
    if (path.empty())
        return Status::Fail(Outcome::Port, "cannot open \"" + s.port + "\": not a usable port name");
    if (Q_OpenCom(path.c_str(), s.baud, s.dataBits, s.parity, s.stopBits, 0, 0, 0, 0, s.readTimeoutMs) != 1)
        return SdkFailure("cannot open " + s.port + " at " + std::to_string(s.baud) + " baud");
    return {};
}

void ClosePort() { Q_CloseCom(); }

SdkReason LastSdkReason() {
    char detail[512] = {};
    SdkReason reason;
    reason.code = Q_GetLastFailure(detail, sizeof detail);
    reason.detail = detail;
    reason.osError = Q_GetLastOsError();
    QRV_FAILURE_INFO info{};
    info.size = sizeof info;
    if (Q_GetLastFailureInfo(&info) < 0) return reason;
    reason.path = info.path;
    reason.holderPid = info.holderPid;
    reason.holderProgram = info.holderProgram;
    reason.groupName = info.groupName;
    return reason;
}

bool IsPortReason(int code) { return code >= QRV_FAIL_PORT_NOT_OPEN && code <= QRV_FAIL_WRITE; }

Outcome OutcomeOfReason(int code) {
    if (IsPortReason(code)) return Outcome::Port;
    switch (code) {
        case QRV_FAIL_REFUSED: return Outcome::Refused;
        case QRV_FAIL_IMAGE: return Outcome::File;
        // Nothing was sent: the request itself was wrong.
        case QRV_FAIL_ARGUMENT: return Outcome::Usage;
        // Silence, a garbled answer, or a record never read for want of one.
        default: return Outcome::NoAnswer;
    }
}

std::string ReasonHint(int code) {
    switch (code) {
        case QRV_FAIL_PORT_NOT_FOUND:
            return "check that the adapter is plugged in and the name is right; `qrvctl ports` lists the serial ports";
        case QRV_FAIL_PORT_PERMISSION:
            return "join the dialout group (sudo usermod -aG dialout $USER), then log out and in again";
        case QRV_FAIL_PORT_BUSY: return "close the program that holds the port, then try again";
        case QRV_FAIL_PORT_NOT_SERIAL: return "give a serial port; `qrvctl ports` lists them";
        case QRV_FAIL_PORT_SETTINGS: return "the adapter does not take this setting; try another --baud";
        case QRV_FAIL_PORT_LOST:
            return "the adapter went away during the command; plug it back in and run the command again";
        case QRV_FAIL_NO_ANSWER:
            return "check the module's power and wiring, and that --baud is its serial rate (`qrvctl detect` finds it)";
        default: return {};
    }
}

std::string ReasonHint(const SdkReason& reason) {
    if (reason.code == QRV_FAIL_PORT_BUSY && reason.holderPid > 0) {
        const std::string holder = reason.holderProgram.empty()
                                       ? "process " + std::to_string(reason.holderPid)
                                       : reason.holderProgram + ", process " + std::to_string(reason.holderPid);
        return "close the program that holds the port (" + holder + "), then try again";
    }
    if (reason.code == QRV_FAIL_PORT_PERMISSION && !reason.groupName.empty() && reason.groupName != "dialout")
        return "the device does not belong to the dialout group: `qrvctl doctor --port PORT` prints the udev rule "
               "that gives it to dialout";
    return ReasonHint(reason.code);
}

Status SdkFailure(const std::string& what) {
    const SdkReason reason = LastSdkReason();
    // The messages this call raised say the same as the detail; the next
    // call starts afresh.
    const std::vector<std::string> raised = TakeSdkMessages();
    std::string message = what + ": " + (!reason.detail.empty() ? reason.detail
                                         : !raised.empty()      ? raised.back()
                                                                : std::string(ReasonText(reason.code)));
    if (reason.code == QRV_FAIL_PORT_LOST && reason.detail.find("lost") == std::string::npos)
        message += " (" + std::string(ReasonText(reason.code)) + ")";
    if (const std::string hint = ReasonHint(reason); !hint.empty()) message += "\n  " + hint;
    return Status::Fail(OutcomeOfReason(reason.code), std::move(message));
}

std::vector<std::string> TakeSdkMessages() {
    std::lock_guard lock(messagesMutex);
    std::vector<std::string> taken;
    taken.swap(messages);
    return taken;
}

}  // namespace qrv::client
