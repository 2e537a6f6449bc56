// A pseudo-terminal pair standing in for a serial port: a serial program
// opens SlavePath() like any port, the far end (the simulated module, or a
// test's scripted one) talks through Master().
//
// Both ends are raw (no echo, no line editing, 0x0A stays 0x0A) and the
// master is non-blocking. The pair keeps one slave descriptor of its own
// open, so the master never sees EIO while no program has the slave open
// (between a host's close and its next open). Ptys carry no baud timing:
// bytes cross at once, whatever the line speed.
#pragma once

#include <termios.h>

#include <chrono>
#include <cstddef>
#include <string>

namespace qrv::sim {

class PtyPair {
public:
    PtyPair() = default;
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    ~PtyPair() { Close(); }

    // Creates the pair; false with `error` saying which step failed.
    bool Open(std::string& error);
    // Closes both ends: every open slave is hung up, the module unplugged.
    void Close();
    // Hangs up the line but keeps the pair's own slave descriptor, so that
    // what the port left behind can still be looked at.
    void CloseMaster();

    int Master() const { return master_; }
    // "/dev/pts/N"
    const std::string& SlavePath() const { return slavePath_; }

    // Bytes written on the master that wait, unread, in the port's input queue.
    std::size_t SlaveQueued() const;
    // Waits until at least `count` bytes wait there: from then on a purge of
    // the port sees them. False on time-out.
    bool WaitSlaveQueued(std::size_t count, std::chrono::milliseconds timeout) const;
    // The line settings as the port's user left them (shared by all of the
    // slave's descriptors); all zero when the pair is closed.
    termios SlaveSettings() const;

private:
    int master_ = -1;
    int slaveKeepAlive_ = -1;
    std::string slavePath_;
};

}  // namespace qrv::sim
