// The clock and the protocol's pauses, given to the device object when it
// is made: the library waits on the port (a pause ends at once when the
// adapter is pulled); tests give a clock and pauses of their own.
#pragma once

#include <chrono>
#include <cstdint>

namespace qrv {

class SerialPort;

class Waits {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~Waits() = default;
    virtual Clock::time_point Now() = 0;
    // Waits `milliseconds`; false when the port was lost meanwhile.
    virtual bool Pause(std::uint32_t milliseconds) = 0;
};

// Real time, pausing on the port so that a hang-up ends the pause.
class PortWaits final : public Waits {
public:
    explicit PortWaits(SerialPort& port) : port_(port) {}
    Clock::time_point Now() override { return Clock::now(); }
    bool Pause(std::uint32_t milliseconds) override;

private:
    SerialPort& port_;
};

}  // namespace qrv
