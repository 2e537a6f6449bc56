#include "sim/pty_pair.h"

#include <fcntl.h>
#include <termios.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace qrv::sim {

namespace {

bool Fail(std::string& error, const char* what) {
    error = std::string(what) + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool PtyPair::Open(std::string& error) {
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return Fail(error, "posix_openpt");
    char path[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, path, sizeof path) != 0) {
        Fail(error, "pty slave");
        Close();
        return false;
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        Fail(error, "fcntl");
        Close();
        return false;
    }
    slaveKeepAlive_ = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slaveKeepAlive_ < 0) {
        Fail(error, path);
        Close();
        return false;
    }
    // A new slave is in cooked mode (0x0A would become 0D 0A): bytes must pass as they are.
    termios settings{};
    if (tcgetattr(slaveKeepAlive_, &settings) != 0) {
        Fail(error, "tcgetattr");
        Close();
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(slaveKeepAlive_, TCSANOW, &settings) != 0) {
        Fail(error, "tcsetattr");
        Close();
        return false;
    }
    slavePath_ = path;
    return true;
}

void PtyPair::Close() {
    if (slaveKeepAlive_ >= 0) ::close(slaveKeepAlive_);
    slaveKeepAlive_ = -1;
    CloseMaster();
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

std::size_t PtyPair::SlaveQueued() const {
    int queued = 0;
    if (ioctl(slaveKeepAlive_, FIONREAD, &queued) != 0) return 0;
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
    if (tcgetattr(slaveKeepAlive_, &settings) != 0) settings = termios{};
    return settings;
}

}  // namespace qrv::sim
