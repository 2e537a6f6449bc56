#include "api/last_failure.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstring>

#include "qrvlink/qrvlink.h"

namespace qrv {

namespace {

QRV_FAILURE_INFO EmptyInfo() {
    QRV_FAILURE_INFO info{};
    info.size = sizeof info;
    info.command = -1;
    info.status = -1;
    info.ownerUid = -1;
    info.groupGid = -1;
    return info;
}

template <std::size_t N>
void CopyText(const std::string& source, char (&target)[N]) {
    CopyCut(source.data(), source.size(), target, static_cast<std::int32_t>(N));
}

std::int32_t Clamped(long long value) {
    return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
}

// Plain data: nothing for a thread's exit (or the library's unload while
// threads still run) to tear down.
struct FailureRecord {
    std::int32_t reason = QRV_FAIL_NONE;
    std::int32_t osError = 0;
    char detail[512] = {};
    QRV_FAILURE_INFO info = EmptyInfo();
};

thread_local FailureRecord failure;

}  // namespace

std::int32_t PublicReason(Reason reason) {
    switch (reason) {
        case Reason::None:
            return QRV_FAIL_NONE;
        case Reason::PortNotOpen:
            return QRV_FAIL_PORT_NOT_OPEN;
        case Reason::PortNotFound:
            return QRV_FAIL_PORT_NOT_FOUND;
        case Reason::PortPermission:
            return QRV_FAIL_PORT_PERMISSION;
        case Reason::PortBusy:
            return QRV_FAIL_PORT_BUSY;
        case Reason::PortNotSerial:
            return QRV_FAIL_PORT_NOT_SERIAL;
        case Reason::PortSettings:
            return QRV_FAIL_PORT_SETTINGS;
        case Reason::PortLost:
            return QRV_FAIL_PORT_LOST;
        case Reason::WriteFailed:
            return QRV_FAIL_WRITE;
        case Reason::NoAnswer:
            return QRV_FAIL_NO_ANSWER;
        case Reason::BadAnswer:
            return QRV_FAIL_BAD_ANSWER;
        case Reason::Refused:
            return QRV_FAIL_REFUSED;
        case Reason::BadArgument:
        case Reason::BadIndex:
        case Reason::TextTooLong:
        case Reason::NoSuchProperty:
            return QRV_FAIL_ARGUMENT;
        case Reason::NotLoaded:
            return QRV_FAIL_NOT_LOADED;
        case Reason::BadImage:
            return QRV_FAIL_IMAGE;
    }
    return QRV_FAIL_ARGUMENT;
}

void CopyCut(const char* source, std::size_t length, char* text, std::int32_t size) {
    if (text == nullptr || size <= 0) return;
    std::size_t count = std::min(length, static_cast<std::size_t>(size) - 1);
    // Back off over continuation bytes (10xxxxxx) so no character is split.
    if (count < length)
        while (count > 0 && (static_cast<unsigned char>(source[count]) & 0xC0) == 0x80) --count;
    std::memcpy(text, source, count);
    text[count] = '\0';
}

void RecordFailure(const Outcome& outcome) {
    failure.reason = PublicReason(outcome.reason);
    failure.osError = outcome.osError;
    CopyCut(outcome.detail.data(), outcome.detail.size(), failure.detail, sizeof failure.detail);
    QRV_FAILURE_INFO& info = failure.info;
    info = EmptyInfo();
    if (outcome.Ok()) return;  // a success leaves no facts behind
    const FailureFacts& facts = outcome.facts;
    info.reason = failure.reason;
    info.osError = outcome.osError;
    CopyText(facts.path, info.path);
    info.holderPid = Clamped(facts.holderPid);
    CopyText(facts.holderProgram, info.holderProgram);
    info.baudRate = facts.baudRate;
    info.timeoutMs = facts.timeoutMs;
    info.command = facts.command;
    info.status = facts.status;
    info.ownerUid = Clamped(facts.ownerUid);
    info.groupGid = Clamped(facts.groupGid);
    info.mode = facts.mode;
    CopyText(facts.ownerName, info.ownerName);
    CopyText(facts.groupName, info.groupName);
}

std::int32_t LastFailureInfo(QRV_FAILURE_INFO* info) {
    constexpr std::size_t kLeast = offsetof(QRV_FAILURE_INFO, osError) + sizeof(std::int32_t);
    if (info == nullptr || info->size < kLeast) return -1;
    const std::size_t count = std::min<std::size_t>(info->size, sizeof(QRV_FAILURE_INFO));
    QRV_FAILURE_INFO copy = failure.info;
    copy.size = static_cast<std::uint32_t>(count);
    std::memcpy(info, &copy, count);
    return failure.reason;
}

std::int32_t LastFailure(char* text, std::int32_t size) {
    CopyCut(failure.detail, std::strlen(failure.detail), text, size);
    return failure.reason;
}

std::int32_t LastOsError() { return failure.osError; }

}  // namespace qrv
