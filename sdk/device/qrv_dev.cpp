#include "device/qrv_dev.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace qrv {

CQRVDev::~CQRVDev() = default;  // the list's unique_ptrs destroy every entry

void MessageSink::Show(int kind, const char* utf8Text) const {
    if (handler) {
        handler(kind, utf8Text, user);
        return;
    }
    std::fprintf(stderr, "Qrvlink: %s\n", utf8Text);
}

bool CQRVDev::Send(const protocol::Frame& frame) {
    if (Port == nullptr) return false;
    std::uint32_t written = 0;
    return Port->Write(frame.data(), static_cast<std::uint32_t>(frame.size), written) != 0;
}

protocol::Answer CQRVDev::Receive(std::size_t capacity) {
    if (Port == nullptr || capacity > rx_.size()) return {rx_.data(), 0};
    std::uint32_t received = 0;
    if (Port->Read(rx_.data(), static_cast<std::uint32_t>(capacity), received) == 0) return {rx_.data(), 0};
    return {rx_.data(), received};
}

void CQRVDev::Pause(unsigned milliseconds) const {
    const auto scaled = std::chrono::duration<double, std::milli>(milliseconds * Waits.scale);
    std::this_thread::sleep_for(scaled);
}

}  // namespace qrv
