#include "device/line_trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cinttypes>

#include "common/outcome.h"
#include "protocol/frame_text.h"

namespace qrv {

namespace {

// Not inherited by child processes; on Windows also no newline translation.
// Never blocking: the target is opened while the library loads, and a FIFO
// without a reader would otherwise hold every program that loads it (inside
// dlopen, before main). Such a FIFO fails at once with ENXIO.
#ifdef _WIN32
constexpr int kTraceFileFlags = O_WRONLY | O_CREAT | O_APPEND | O_NOINHERIT | O_BINARY;
#else
constexpr int kTraceFileFlags = O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
#endif

// What a trace may be written to: a file, a terminal or /dev/stderr, a pipe
// with a reader. A directory or a socket is refused.
bool TraceTargetKind(int fd) {
#ifdef _WIN32
    (void)fd;
    return true;
#else
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    return S_ISREG(info.st_mode) || S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode);
#endif
}

// The C runtime's write takes an unsigned count on Windows; lines are short.
long WriteSome(int fd, const char* data, std::size_t length) {
    constexpr std::size_t kChunk = 1u << 16;
    return static_cast<long>(write(fd, data, static_cast<unsigned>(length < kChunk ? length : kChunk)));
}

}  // namespace

LineTrace::~LineTrace() {
    if (ownsLinesFd_) close(linesFd_);
}

bool LineTrace::WriteLinesTo(const std::string& where) {
    if (where == "stderr") {
        linesFd_ = STDERR_FILENO;
        return true;
    }
    // Appended to, never truncated: a trace file named by mistake keeps what it held.
    const int fd = open(where.c_str(), kTraceFileFlags, 0644);
    if (fd < 0) return false;
    if (!TraceTargetKind(fd)) {
        close(fd);
        errno = EINVAL;
        return false;
    }
    linesFd_ = fd;
    ownsLinesFd_ = true;
    return true;
}

std::uint64_t LineTrace::NowMicroseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(since).count());
}

std::string LineTrace::FormatLine(std::uint64_t microseconds, LineDirection direction,
                                  std::span<const std::uint8_t> bytes, const std::string& port) {
    // Requests go out (->), answers come in (<-); the arrows read as in qrvsim's trace.
    const bool written = direction == LineDirection::Written;
    std::string meaning;
    protocol::DescribeFrame(bytes, written ? protocol::FrameDirection::Request : protocol::FrameDirection::Answer,
                            meaning);
    return Printf("[%6" PRIu64 ".%06" PRIu64 "] %s%s%s ", microseconds / 1000000, microseconds % 1000000,
                  port.c_str(), port.empty() ? "" : " ", written ? "->" : "<-") +
           protocol::HexBytes(bytes) + " | " + meaning + "\n";
}

void LineTrace::OnTraffic(LineDirection direction, const std::uint8_t* bytes, std::size_t length) {
    const bool lines = linesFd_ >= 0;
    if (!lines && !handler_.IsSet()) return;
    const std::uint64_t now = NowMicroseconds();
    handler_.Call([&](Q_TraceHandler handler, void* user) {
        handler(user, static_cast<std::int32_t>(direction), bytes, static_cast<std::int32_t>(length), now);
    });
    if (lines) WriteLine(FormatLine(now, direction, {bytes, length}, portName_));
}

void LineTrace::OnNote(const std::string& note) {
    if (linesFd_ < 0) return;
    const std::uint64_t now = NowMicroseconds();
    WriteLine(Printf("[%6" PRIu64 ".%06" PRIu64 "] # %s\n", now / 1000000, now % 1000000, note.c_str()));
}

// One write per line, so lines of several processes appending to one file
// do not interleave.
void LineTrace::WriteLine(const std::string& line) {
    std::size_t done = 0;
    while (done < line.size()) {
        const long count = WriteSome(linesFd_, line.data() + done, line.size() - done);
        if (count < 0 && errno == EINTR) continue;
        // A full disk, or a terminal or pipe that would make us wait, loses
        // trace lines, never an exchange.
        if (count <= 0) break;
        done += static_cast<std::size_t>(count);
    }
}

}  // namespace qrv
