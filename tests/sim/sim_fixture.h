// A simulator on a pty with a raw host end, for the tests that drive the
// network over the serial line.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "pty_host.h"
#include "sim/answer_builder.h"
#include "sim/simulator.h"

namespace qrv::sim::testing {

inline SimulatorOptions FastOptions() {
    SimulatorOptions o;
    o.latency = Millis(1);
    o.airLatency = Millis(1);
    o.restartTime = Millis(60);
    return o;
}

class SimOverPty : public ::testing::Test {
protected:
    void SetUp() override { StartSim(Scenario::Default(), FastOptions()); }

    void StartSim(const Scenario& scenario, const SimulatorOptions& options) {
        host_.reset();
        sim_ = std::make_unique<Simulator>(scenario, options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        host_ = std::make_unique<PtyHost>(sim_->SlavePath(), options.baud);
        ASSERT_TRUE(host_->IsOpen());
    }

    Bytes LocalInfoAnswer() const { return BuildBaseInfoAnswer(sim_->Module(0).config.Base()); }

    // Nobody answers `frame`: a base-info probe written right after it is
    // the first thing on the line (answers leave in request order).
    void ExpectNoAnswer(const protocol::Frame& frame) {
        host_->Purge();
        host_->Write(frame);
        host_->Write(protocol::BuildReadBaseInfo());
        EXPECT_EQ(host_->ReadCount(10, Millis(2000)), LocalInfoAnswer());
    }

    // No answer is still on its way: a probe's answer comes next.
    void ExpectOnlyProbeFollows() {
        host_->Write(protocol::BuildReadBaseInfo());
        EXPECT_EQ(host_->ReadCount(10, Millis(2000)), LocalInfoAnswer());
    }

    // Writes a reset frame and waits (readiness, not a guess) until module
    // `index` has gone through a restart and is back.
    void ResetAndWait(const protocol::Frame& reset, std::size_t index) {
        const unsigned before = sim_->Module(index).restarts;
        host_->Write(reset);
        WaitUntilRestarted(index, before);
    }

    // Module `index` has restarted more than `before` times and is back.
    void WaitUntilRestarted(std::size_t index, unsigned before) {
        const auto deadline = std::chrono::steady_clock::now() + Millis(3000);
        auto done = [&] {
            const ModuleState m = sim_->Module(index);
            return m.restarts > before && !m.Restarting();
        };
        while (!done() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(Millis(2));
        ASSERT_TRUE(done());
    }

    void Tune(std::uint8_t channel, std::uint8_t rate) {
        ASSERT_EQ(host_->Exchange(protocol::BuildTuneRadio(channel, rate), 4), (Bytes{0xAB, 0xD4, 0x00, 0xBA}));
    }

    std::unique_ptr<Simulator> sim_;
    std::unique_ptr<PtyHost> host_;
};

}  // namespace qrv::sim::testing
