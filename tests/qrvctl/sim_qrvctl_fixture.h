// A simulated network on a pty and qrvctl pointed at it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "qrvctl_process.h"
#include "sim/simulator.h"

namespace qrvctl::testing {

using Json = nlohmann::json;

class SimulatedModules : public ::testing::Test {
protected:
    void SetUp() override { Start(qrv::sim::Scenario::Default(), 115200); }

    void Start(const qrv::sim::Scenario& scenario, unsigned baud) {
        qrv::sim::SimulatorOptions options;
        options.baud = baud;
        options.restartTime = std::chrono::milliseconds(100);
        sim_ = std::make_unique<qrv::sim::Simulator>(scenario, options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        baud_ = baud;
    }

    // qrvctl ARGS --port PTY --baud RATE (a short time-out keeps silent reads short).
    Outcome Run(std::vector<std::string> args) const {
        for (const char* a : {"--port", "", "--baud", "", "--timeout", "100"}) args.emplace_back(a);
        args[args.size() - 5] = sim_->SlavePath();
        args[args.size() - 3] = std::to_string(baud_);
        return RunQrvctl(args);
    }

    // Requests the module understood since the log was last cleared.
    std::size_t Requests() const {
        std::size_t n = 0;
        for (const auto& entry : sim_->Log()) n += entry.kind == qrv::sim::LogKind::Request;
        return n;
    }

    std::unique_ptr<qrv::sim::Simulator> sim_;
    unsigned baud_ = 115200;
};

}  // namespace qrvctl::testing
