#include "support/pty_pair.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace qrv::test {

namespace {

[[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(std::string("PtyPair: ") + what + ": " + std::strerror(errno));
}

void MakeRaw(int fd) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) Fail("tcgetattr");
    cfmakeraw(&settings);
    if (tcsetattr(fd, TCSANOW, &settings) != 0) Fail("tcsetattr");
}

}  // namespace

PtyPair::PtyPair() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master_ < 0) Fail("posix_openpt");
    char name[128] = {};
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        close(master_);
        Fail("grantpt/unlockpt/ptsname");
    }
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        close(master_);
        Fail("open slave");
    }
    // The slave starts in cooked mode; settings made on either end reach it.
    MakeRaw(master_);
    MakeRaw(slave_);
}

PtyPair::~PtyPair() {
    if (slave_ >= 0) close(slave_);
    CloseMaster();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

std::wstring PtyPair::SlavePathWide() const { return std::wstring(slavePath_.begin(), slavePath_.end()); }

std::size_t PtyPair::SlaveQueued() const {
    int queued = 0;
    if (ioctl(slave_, FIONREAD, &queued) != 0) return 0;
    return static_cast<std::size_t>(queued);
}

bool PtyPair::WaitSlaveQueued(std::size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // The pty pushes bytes to the slave's queue from a kernel worker, so
    // there is no event to wait on: look again every millisecond.
    while (SlaveQueued() < count) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

termios PtyPair::SlaveSettings() const {
    termios settings{};
    if (tcgetattr(slave_, &settings) != 0) Fail("tcgetattr slave");
    return settings;
}

}  // namespace qrv::test
