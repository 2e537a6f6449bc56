#include "qrvctl/trace_output.h"

#include <chrono>

#include "qrvlink/qrvlink.h"

namespace qrvctl {

namespace {

// The SDK stamps frames with the steady clock in microseconds.
std::uint64_t SteadyMicroseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

}  // namespace

std::string TraceLine(std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                      std::uint64_t microseconds) {
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "[%4llu.%06llu] %s", static_cast<unsigned long long>(microseconds / 1000000),
                  static_cast<unsigned long long>(microseconds % 1000000), direction == 0 ? "->" : "<-");
    std::string line = stamp;
    for (std::int32_t i = 0; i < length; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        line += hex;
    }
    char meaning[256] = {};
    Q_DescribeFrame(bytes, length, meaning, sizeof meaning);
    return line + " | " + (meaning[0] ? meaning : "?");
}

TraceSession::TraceSession(std::FILE* out) : out_(out), start_(SteadyMicroseconds()) {
    printer_ = std::thread([this] { Print(); });
    Q_SetTraceHandler(&TraceSession::OnFrame, this);
}

TraceSession::~TraceSession() {
    // Returns once no call of the handler runs: nothing is queued after it.
    Q_SetTraceHandler(nullptr, nullptr);
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    queued_.notify_one();
    printer_.join();
}

void TraceSession::OnFrame(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                           std::uint64_t microseconds) {
    auto* session = static_cast<TraceSession*>(user);
    {
        std::lock_guard lock(session->mutex_);
        session->frames_.push_back({direction, std::vector<std::uint8_t>(bytes, bytes + length), microseconds});
    }
    session->queued_.notify_one();
}

void TraceSession::Print() {
    std::unique_lock lock(mutex_);
    for (;;) {
        queued_.wait(lock, [this] { return ending_ || !frames_.empty(); });
        if (frames_.empty()) return;
        const Frame frame = std::move(frames_.front());
        frames_.pop_front();
        lock.unlock();
        const std::uint64_t since = frame.microseconds > start_ ? frame.microseconds - start_ : 0;
        std::fprintf(
            out_, "%s\n",
            TraceLine(frame.direction, frame.bytes.data(), static_cast<std::int32_t>(frame.bytes.size()), since)
                .c_str());
        std::fflush(out_);
        lock.lock();
    }
}

}  // namespace qrvctl
