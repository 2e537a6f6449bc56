// Waits for device tests. RecordedWaits takes no time of its own: it notes
// every pause the device asks for (the protocol's fixed pauses are then
// asserted as numbers) and moves its own clock by them, plus `step` on
// every look at the clock; `settle`, when set, runs in each pause (a pty
// test lets its fake module take every byte written so far, which the next
// write's purge would otherwise throw away). ScaledWaits sleeps a fraction
// of each pause in real time, for runs against the simulator, whose modules
// need their restart time.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

#include "device/waits.h"
#include "serial/serial_port.h"

namespace qrv::test {

class RecordedWaits final : public Waits {
public:
    Clock::time_point Now() override { return now_ += step; }
    bool Pause(std::uint32_t milliseconds) override {
        pauses.push_back(milliseconds);
        now_ += std::chrono::milliseconds(milliseconds);
        if (settle) settle();
        return true;
    }

    std::vector<std::uint32_t> pauses;
    Clock::duration step{0};
    std::function<void()> settle;

private:
    Clock::time_point now_{};
};

class ScaledWaits final : public Waits {
public:
    explicit ScaledWaits(double scale) : scale_(scale) {}
    Clock::time_point Now() override { return Clock::now(); }
    bool Pause(std::uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds * scale_));
        return true;
    }

private:
    double scale_;
};

// Counts what a port wrote, for a test to wait until its far end has it all.
class WrittenBytes final : public LineObserver {
public:
    void OnTraffic(LineDirection direction, const std::uint8_t*, std::size_t length) override {
        if (direction == LineDirection::Written) count += length;
    }
    std::atomic<std::size_t> count{0};
};

}  // namespace qrv::test
