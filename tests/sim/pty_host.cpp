#include "pty_host.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace qrv::sim::testing {

using Clock = std::chrono::steady_clock;

Bytes ToBytes(const protocol::Frame& frame) { return Bytes(frame.bytes.begin(), frame.bytes.begin() + frame.size); }

PtyHost::PtyHost(const std::string& path, unsigned baud) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return;
    termios settings{};
    tcgetattr(fd_, &settings);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetspeed(&settings, baud);  // glibc takes the rate as a number too
    tcsetattr(fd_, TCSANOW, &settings);
    tcflush(fd_, TCIOFLUSH);
}

PtyHost::~PtyHost() {
    if (fd_ >= 0) ::close(fd_);
}

void PtyHost::Purge() { tcflush(fd_, TCIOFLUSH); }

void PtyHost::Write(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
            return;
        }
    }
}

bool PtyHost::WaitReadable(Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<Millis>(deadline - Clock::now());
        if (left.count() < 0) return false;
        pollfd pfd{fd_, POLLIN, 0};
        const int rc = ::poll(&pfd, 1, static_cast<int>(left.count()));
        if (rc < 0 && errno == EINTR) continue;
        if (rc <= 0) return false;
        return (pfd.revents & POLLIN) != 0;
    }
}

Bytes PtyHost::ReadCount(std::size_t count, Millis timeout) {
    Bytes out;
    const auto deadline = Clock::now() + timeout;
    while (out.size() < count && WaitReadable(deadline)) {
        std::uint8_t chunk[256];
        const ssize_t n = ::read(fd_, chunk, std::min(sizeof chunk, count - out.size()));
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            break;
        }
        out.insert(out.end(), chunk, chunk + n);
    }
    return out;
}

Bytes PtyHost::ReadBurst(Millis firstByte, Millis gap) {
    Bytes out;
    auto deadline = Clock::now() + firstByte;
    while (WaitReadable(deadline)) {
        std::uint8_t chunk[256];
        const ssize_t n = ::read(fd_, chunk, sizeof chunk);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            break;
        }
        out.insert(out.end(), chunk, chunk + n);
        deadline = Clock::now() + gap;
    }
    return out;
}

Bytes PtyHost::Exchange(const protocol::Frame& frame, std::size_t count, Millis timeout) {
    Purge();
    Write(frame);
    return ReadCount(count, timeout);
}

bool PtyHost::HungUp(Millis timeout) {
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, static_cast<int>(timeout.count())) <= 0) return false;
    if (pfd.revents & (POLLHUP | POLLERR)) return true;
    std::uint8_t byte;
    const ssize_t n = ::read(fd_, &byte, 1);
    return n == 0 || (n < 0 && errno == EIO);
}

}  // namespace qrv::sim::testing
