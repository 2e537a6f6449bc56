// The host end of the simulator's pty for tests: raw termios, plain
// write() and poll()/read() with deadlines. Deliberately independent of the
// SDK's serial code.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/frames.h"

namespace qrv::sim::testing {

using Bytes = std::vector<std::uint8_t>;
using Millis = std::chrono::milliseconds;

Bytes ToBytes(const protocol::Frame& frame);

class PtyHost {
public:
    // Opens `path` raw at `baud`: the simulator understands only a host
    // whose line runs at its own rate.
    PtyHost(const std::string& path, unsigned baud);
    ~PtyHost();
    PtyHost(const PtyHost&) = delete;
    PtyHost& operator=(const PtyHost&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Throws away unread bytes, as the host does before every request. On a
    // pty this also drops written bytes the simulator has not read yet.
    void Purge();
    void Write(const Bytes& bytes);
    void Write(const protocol::Frame& frame) { Write(ToBytes(frame)); }

    // Reads until `count` bytes arrived or `timeout` passed.
    Bytes ReadCount(std::size_t count, Millis timeout);
    // Reads one burst: waits up to `firstByte` for its start, then ends at a
    // pause longer than `gap` (the host's read interval).
    Bytes ReadBurst(Millis firstByte, Millis gap);
    // Purge, write, read `count` bytes.
    Bytes Exchange(const protocol::Frame& frame, std::size_t count, Millis timeout = Millis(1000));
    // The slave side reports a hang-up (the pty master is gone).
    bool HungUp(Millis timeout);

private:
    // Waits for input until `deadline`; false on time-out or hang-up.
    bool WaitReadable(std::chrono::steady_clock::time_point deadline);

    int fd_ = -1;
};

}  // namespace qrv::sim::testing
