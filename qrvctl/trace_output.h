// The SDK's frame traffic as lines (--trace on standard error, monitor on
// standard output), in the form the simulator's --trace writes (the
// library's own QRVLINK_TRACE lines add the port after the time):
//   "[   0.166948] -> AB D2 00 01 00 34 BA | read-property address=0x0001"
#pragma once

#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qrvctl {

// Direction 0 host to module, 1 back; seconds since the trace began.
std::string TraceLine(std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                      std::uint64_t microseconds);

// Shows the traffic while it lives. The SDK's handler runs inside the
// exchange, which waits for it: it only queues a copy, and a thread of the
// session's own decodes and prints.
class TraceSession {
public:
    explicit TraceSession(std::FILE* out);
    // Removes the handler, then prints whatever is still queued.
    ~TraceSession();
    TraceSession(const TraceSession&) = delete;
    TraceSession& operator=(const TraceSession&) = delete;

private:
    struct Frame {
        std::int32_t direction;
        std::vector<std::uint8_t> bytes;
        std::uint64_t microseconds;
    };
    static void OnFrame(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                        std::uint64_t microseconds);
    void Print();

    std::FILE* out_;
    std::uint64_t start_;  // the SDK's clock when the session began
    std::mutex mutex_;
    std::condition_variable queued_;
    std::deque<Frame> frames_;
    bool ending_ = false;
    std::thread printer_;
};

}  // namespace qrvctl
