// Without --port: a port that cannot be examined is named, and a command
// that writes then refuses rather than change whichever module answered.
// Also where a password may come from, and a failure in JSON.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "qrvctl/printer.h"
#include "sim/port_link.h"
#include "sim_qrvctl_fixture.h"

namespace qrvctl::testing {
namespace {

// Two simulated modules announced where qrvctl looks; the second one's
// port held with flock as another program would.
class HeldPort : public SimulatedModules {
protected:
    void SetUp() override {
        SimulatedModules::SetUp();
        other_ = std::make_unique<qrv::sim::Simulator>(qrv::sim::Scenario::Default(), qrv::sim::SimulatorOptions{});
        std::string error;
        ASSERT_TRUE(other_->Start(&error)) << error;
        runtime_ = ::testing::TempDir() + "qrvctl-held-" + std::to_string(getpid());
        std::filesystem::create_directories(runtime_);
        ASSERT_TRUE(free_.Announce(runtime_ + "/qrvsim", sim_->SlavePath(), error)) << error;
        ASSERT_TRUE(held_.Announce(runtime_ + "/qrvsim", other_->SlavePath(), error)) << error;
        holder_ = open(other_->SlavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_EQ(flock(holder_, LOCK_EX | LOCK_NB), 0);
    }
    void TearDown() override {
        close(holder_);
        free_.Remove();
        held_.Remove();
        std::filesystem::remove_all(runtime_);
    }

    std::unique_ptr<qrv::sim::Simulator> other_;
    std::string runtime_;
    qrv::sim::PortLink free_, held_;
    int holder_ = -1;
};

TEST_F(HeldPort, WritesRefuseAndReadsGoOnNamingThePort) {
    const std::string named = "held by process " + std::to_string(getpid());
    const struct {
        std::vector<std::string> args;
        int exit;
    } rows[] = {
        {{"set", "retry-count=2", "--password", "123456"}, 3},
        {{"reset"}, 3},
        {{"info"}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.args.front());
        const Outcome outcome = RunQrvctl(row.args, runtime_);
        EXPECT_EQ(outcome.exit, row.exit) << outcome.err;
        EXPECT_NE(outcome.err.find("not examined"), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(named), std::string::npos) << outcome.err;
    }
    EXPECT_NE(Json::parse(Run({"info", "--json"}).out)["fields"]["retry-count"], 2) << "the free module was written to";
}

TEST_F(SimulatedModules, PasswordComesFromAFileAndStaysHidden) {
    const std::string file = ::testing::TempDir() + "qrvctl-password-" + std::to_string(getpid());
    std::ofstream(file) << "123456\n";
    const Outcome set = Run({"set", "retry-count=4", "--password-file", file});
    EXPECT_EQ(set.exit, 0) << set.err;
    EXPECT_EQ(set.out.find("123456"), std::string::npos) << set.out;
    EXPECT_NE(set.out.find("hidden"), std::string::npos) << set.out;
    EXPECT_NE(Run({"info", "--show-password"}).out.find("123456"), std::string::npos);
    EXPECT_EQ(Run({"set", "retry-count=4", "--quiet", "--password-file", file}).out, "");
    std::filesystem::remove(file);
    // With --json a failure is one JSON object on standard output too.
    const Outcome missing = Run({"set", "retry-count=4", "--password-file", file, "--json"});
    EXPECT_EQ(missing.exit, 1);
    const Json failure = Json::parse(missing.out);
    EXPECT_EQ(failure["reason"], "file");
    EXPECT_EQ(failure["exit"], 1);
    EXPECT_NE(failure["message"].get<std::string>().find(file), std::string::npos);
}

}  // namespace
}  // namespace qrvctl::testing

namespace qrvctl::testing {
namespace {

TEST_F(SimulatedModules, AFarAddressThatDidNotAnswerPointsAtOtherChannels) {
    const Outcome outcome = Run({"remote", "0x7777", "info"});
    EXPECT_EQ(outcome.exit, 4) << outcome.err;
    EXPECT_NE(outcome.err.find("--all"), std::string::npos) << outcome.err;
}

TEST(PrinterTable, PadsByWhatATerminalShows) {
    const Printer printer(false, false);
    ::testing::internal::CaptureStdout();
    printer.Table({"FIELD", "PROFILE", "MODULE"}, {{"name", "车间-07", "x"}, {"channel", "11", "12"}});
    const std::string out = ::testing::internal::GetCapturedStdout();
    // "车间-07" is seven columns wide: its column and the next start where they do below.
    EXPECT_EQ(out,
              "FIELD    PROFILE  MODULE\n"
              "name     车间-07  x\n"
              "channel  11       12\n");
}

}  // namespace
}  // namespace qrvctl::testing
