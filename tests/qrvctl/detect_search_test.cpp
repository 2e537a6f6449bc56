// Finding the module (ports, detect at several rates, a silent port within
// its bound) and stopping a search with Ctrl-C.
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "client/detect.h"
#include "sim/port_link.h"
#include "sim_qrvctl_fixture.h"
#include "support/pty_pair.h"

namespace qrvctl::testing {
namespace {

using namespace std::chrono;

TEST_F(SimulatedModules, PortsListsTheAnnouncedSimulator) {
    const std::string runtime = ::testing::TempDir() + "qrvctl-runtime";
    std::filesystem::create_directories(runtime);
    qrv::sim::PortLink link;
    std::string error;
    ASSERT_TRUE(link.Announce(runtime + "/qrvsim", sim_->SlavePath(), error)) << error;
    const Outcome json = RunQrvctl({"ports", "--json"}, runtime);
    ASSERT_EQ(json.exit, 0);
    bool listed = false;
    for (const Json& port : Json::parse(json.out))
        if (port["path"] == link.Path()) {
            listed = true;
            EXPECT_EQ(port["simulator"], true);
            EXPECT_EQ(port["readable"], true);
        }
    EXPECT_TRUE(listed) << json.out;
    EXPECT_NE(RunQrvctl({"ports"}, runtime).out.find(link.Path()), std::string::npos);
}

TEST_F(SimulatedModules, DetectFindsTheModuleAtItsRate) {
    for (unsigned baud : {19200u, 115200u}) {
        Start(qrv::sim::Scenario::Default(), baud);
        const Outcome outcome = RunQrvctl({"detect", "--port", sim_->SlavePath(), "--json"});
        ASSERT_EQ(outcome.exit, 0) << outcome.err;
        const Json found = Json::parse(outcome.out);
        ASSERT_EQ(found.size(), 1u);
        EXPECT_EQ(found[0]["baud"], baud);
        EXPECT_EQ(found[0]["identity"]["address"], 1);
        // And a command without --baud finds the rate by itself.
        EXPECT_EQ(Json::parse(RunQrvctl({"info", "--port", sim_->SlavePath(), "--json"}).out)["baud"], baud);
    }
}

TEST(DetectSilentPort, ReportsNothingWithinItsBound) {
    qrv::test::PtyPair pty;  // nobody answers on it
    const auto start = steady_clock::now();
    const Outcome outcome = RunQrvctl({"detect", "--port", pty.SlavePath(), "--json"});
    const auto took = duration_cast<milliseconds>(steady_clock::now() - start);
    EXPECT_EQ(outcome.exit, 4);
    EXPECT_TRUE(Json::parse(outcome.out).empty());
    // Ten silent loads with their short time-outs, plus a loaded machine's slack.
    EXPECT_GE(took, qrv::client::SilentPortScanFloor());
    EXPECT_LT(took, qrv::client::SilentPortScanFloor() + seconds(3));
}

TEST_F(SimulatedModules, CtrlCStopsTheSearchWithTheRadioTunedHome) {
    QrvctlProcess search({"search", "--all", "--port", sim_->SlavePath(), "--baud", "115200", "--timeout", "100"},
                         "/nonexistent");
    // Interrupt once the sweep is under way: a search frame has gone out.
    ASSERT_TRUE(sim_->WaitForLog(
        [](const auto& log) {
            for (const auto& e : log)
                if (e.kind == qrv::sim::LogKind::Request && e.command && e.command->code == 0xD5) return true;
            return false;
        },
        milliseconds(10000)));
    search.Signal(SIGINT);
    const Outcome outcome = search.Wait(seconds(30));
    EXPECT_EQ(outcome.exit, 130) << outcome.err;
    EXPECT_NE(outcome.err.find("the radio is back on channel 11"), std::string::npos) << outcome.err;
    // The last frame the module understood tuned it home: channel 11, 250K.
    const auto log = sim_->Log();
    auto last = std::find_if(log.rbegin(), log.rend(), [](const auto& e) { return e.kind == qrv::sim::LogKind::Request; });
    ASSERT_NE(last, log.rend());
    EXPECT_EQ(last->bytes, (std::vector<std::uint8_t>{0xAB, 0xD4, 11, 0, 0xBA}));
    EXPECT_EQ(sim_->TunedPair(), (std::pair<std::uint8_t, std::uint8_t>{11, 0}));
}

}  // namespace
}  // namespace qrvctl::testing
