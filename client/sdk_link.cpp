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

}  // namespace

std::wstring WidePath(const std::string& utf8) {
    const std::optional<std::string> wide = text::ConvertExact(utf8, "UTF-8", "WCHAR_T");
    if (!wide) return {};
    std::wstring out(wide->size() / sizeof(wchar_t), L'\0');
    std::memcpy(out.data(), wide->data(), out.size() * sizeof(wchar_t));
    return out;
}

Status OpenPort(const LineSettings& s) {
    Q_SetMessageHandler(CollectMessage, nullptr);
    const std::wstring path = WidePath(s.port);
    if (path.empty() || Q_OpenCom(path.c_str(), s.baud, s.dataBits, s.parity, s.stopBits, 0, 0, 0, 0, s.readTimeoutMs) != 1)
        return Status::Fail(Outcome::Port, "cannot open " + s.port + " at " + std::to_string(s.baud) +
                                               " baud (missing, busy, not a serial port, no permission, or a setting it refuses)");
    return {};
}

void ClosePort() { Q_CloseCom(); }

Status SdkFailure(const std::string& what, const std::function<bool()>& stillAnswers) {
    switch (Q_GetLastError()) {
        case Q_ERR_PORT_NOT_OPEN: return Status::Fail(Outcome::Port, what + ": the port is not open");
        case Q_ERR_NOT_LOADED: return Status::Fail(Outcome::NoAnswer, what + ": the module's record was never read");
        case Q_ERR_BAD_INDEX: return Status::Fail(Outcome::NoAnswer, what + ": the far module is no longer listed");
        default: break;
    }
    if (const std::vector<std::string> raised = TakeSdkMessages(); !raised.empty())
        return Status::Fail(Outcome::File, what + ": " + raised.back());
    if (stillAnswers && stillAnswers())
        return Status::Fail(Outcome::Refused, what + ": the module answers but refused the request");
    return Status::Fail(Outcome::NoAnswer, what + ": no answer from the module");
}

std::vector<std::string> TakeSdkMessages() {
    std::lock_guard lock(messagesMutex);
    std::vector<std::string> taken;
    taken.swap(messages);
    return taken;
}

}  // namespace qrv::client
