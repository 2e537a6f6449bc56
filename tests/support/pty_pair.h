// A pseudo-terminal pair standing in for a serial port and the module on its
// far end: the code under test opens SlavePath() like any port, the test side
// (usually a FakeModule) talks through MasterFd().
//
// Both ends are raw (no echo, no line editing, 0x0A stays 0x0A) and the master
// is non-blocking. The pair keeps one slave descriptor of its own open, so
// the master never sees EIO while the port under test is closed and reopened.
// Ptys carry no baud timing: bytes cross at once, whatever the line speed.
#pragma once

#include <termios.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace qrv::test {

class PtyPair {
public:
    // Throws std::runtime_error when no pseudo-terminal can be had.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    int MasterFd() const { return master_; }
    // "/dev/pts/N"
    const std::string& SlavePath() const { return slavePath_; }
    std::wstring SlavePathWide() const;

    // Bytes written on the master that wait, unread, in the port's input queue.
    std::size_t SlaveQueued() const;
    // Waits until at least `count` bytes wait there: from then on a purge of
    // the port sees them. False on time-out.
    bool WaitSlaveQueued(std::size_t count, std::chrono::milliseconds timeout) const;
    // The line settings as the port under test left them (shared by all of
    // the slave's descriptors).
    termios SlaveSettings() const;

    // Hangs up the line: the port's descriptors then read 0 / report POLLHUP.
    void CloseMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace qrv::test
