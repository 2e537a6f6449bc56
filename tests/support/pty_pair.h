// The simulator's pseudo-terminal pair, opened where a test declares it (a
// test cannot go on without one), with the names the tests use for its ends.
#pragma once

#include <stdexcept>
#include <string>

#include "sim/pty_pair.h"

namespace qrv::test {

class PtyPair : public sim::PtyPair {
public:
    PtyPair() {
        std::string error;
        if (!Open(error)) throw std::runtime_error("PtyPair: " + error);
    }
    int MasterFd() const { return Master(); }
    std::wstring SlavePathWide() const { return {SlavePath().begin(), SlavePath().end()}; }
};

}  // namespace qrv::test
