// The pseudo-terminal the simulated module sits on: the simulator owns the
// master side, a serial program opens the slave path like any serial port.
#pragma once

#include <string>

namespace qrv::sim {

class PtyPair {
public:
    PtyPair() = default;
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;
    ~PtyPair() { Close(); }

    // Creates the pair in raw mode with a non-blocking master.
    bool Open(std::string& error);
    // Closing the master hangs up every open slave: the module is unplugged.
    void Close();

    int Master() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

private:
    int master_ = -1;
    // Held open so that the master never sees EIO while no program has the
    // slave open (between a host's close and its next open).
    int slaveKeepAlive_ = -1;
    std::string slavePath_;
};

}  // namespace qrv::sim
