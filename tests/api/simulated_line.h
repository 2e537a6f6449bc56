// The library's port on the simulated default network, in-process, at 9600
// baud (a 41 ms read interval rides out a busy machine). Records when the
// simulator pulled the module off the line.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "qrvlink/qrvlink.h"
#include "sim/simulator.h"

namespace qrv::test {

using Clock = std::chrono::steady_clock;

class SimulatedLine : public ::testing::Test {
protected:
    static constexpr int kReadTimeoutMs = 2000;

    void TearDown() override {
        Q_CloseCom();
        if (sim_) sim_->Stop();
    }

    // A fresh simulator (a new pty) and the library's port open on it.
    void Start(int readTimeoutMs = kReadTimeoutMs) {
        if (sim_) sim_->Stop();
        sim::SimulatorOptions options;
        options.baud = 9600;
        options.restartTime = std::chrono::milliseconds(20);
        options.onUnplugged = [this] { unpluggedAt_ = Clock::now().time_since_epoch().count(); };
        unpluggedAt_ = 0;
        sim_ = std::make_unique<sim::Simulator>(sim::Scenario::Default(), options);
        ASSERT_TRUE(sim_->Start());
        Q_QRV_ClearSearchArr();  // the library's list outlives a test run in the same process
        ASSERT_EQ(Q_OpenCom(Path().c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, readTimeoutMs), 1);
    }

    std::wstring Path() const { return std::wstring(sim_->SlavePath().begin(), sim_->SlavePath().end()); }

    // When the module was pulled; the epoch when it was not.
    Clock::time_point UnpluggedAt() const { return Clock::time_point(Clock::duration(unpluggedAt_.load())); }

    // Pulls the module off the line when it receives `code` (configuration family).
    void UnplugOn(std::uint8_t code) {
        sim::Fault unplug;
        unplug.kind = sim::FaultKind::Unplug;
        unplug.command = sim::CommandKey{sim::Family::Config, code};
        unplug.count = 1;
        sim_->AddFault(unplug);
    }

    // Bytes the simulated module could not take as a frame: what two
    // exchanges mixed into each other would leave.
    bool NothingDiscarded() const {
        for (const auto& entry : sim_->Log())
            if (entry.kind == sim::LogKind::Discarded) return false;
        return true;
    }

    std::unique_ptr<sim::Simulator> sim_;
    std::atomic<Clock::rep> unpluggedAt_{0};
};

}  // namespace qrv::test
