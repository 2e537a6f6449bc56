// What qrvctl says when the SDK fails, by reason (exit code and message),
// the traffic of --trace and monitor, and an upgrade's block progress.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "client/firmware_file.h"
#include "client/module_access.h"
#include "client/sdk_link.h"
#include "qrvctl/progress_line.h"
#include "sim/faults.h"
#include "sim_qrvctl_fixture.h"
#include "support/pty_pair.h"

namespace qrvctl::testing {
namespace {

using namespace std::chrono;
using Kind = qrv::client::Outcome;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "[   0.000308] -> AB D1 BA | read-base-info": a time, a direction, the
// bytes and their meaning.
bool IsTraceLine(const std::string& line) {
    const std::size_t close = line.find("] ");
    const std::size_t bar = line.find(" | ");
    return line.rfind('[', 0) == 0 && close != std::string::npos && line[close - 7] == '.' &&
           (line.compare(close + 2, 3, "-> ") == 0 || line.compare(close + 2, 3, "<- ") == 0) &&
           bar != std::string::npos && bar + 3 < line.size();
}

TEST(ReasonOutcome, EachReasonHasItsExitKindAndAdvice) {
    const struct {
        int reason;
        Kind outcome;
        const char* hint;  // a fragment of the advice, "" for none
    } rows[] = {
        {QRV_FAIL_PORT_NOT_OPEN, Kind::Port, ""},
        {QRV_FAIL_PORT_NOT_FOUND, Kind::Port, "plugged in"},
        {QRV_FAIL_PORT_PERMISSION, Kind::Port, "usermod -aG dialout"},
        {QRV_FAIL_PORT_BUSY, Kind::Port, "close the program"},
        {QRV_FAIL_PORT_NOT_SERIAL, Kind::Port, "qrvctl ports"},
        {QRV_FAIL_PORT_SETTINGS, Kind::Port, "--baud"},
        {QRV_FAIL_PORT_LOST, Kind::Port, "went away"},
        {QRV_FAIL_WRITE, Kind::Port, ""},
        {QRV_FAIL_NO_ANSWER, Kind::NoAnswer, "qrvctl detect"},
        {QRV_FAIL_BAD_ANSWER, Kind::NoAnswer, ""},
        {QRV_FAIL_REFUSED, Kind::Refused, ""},
        {QRV_FAIL_ARGUMENT, Kind::Usage, ""},
        {QRV_FAIL_NOT_LOADED, Kind::NoAnswer, ""},
        {QRV_FAIL_IMAGE, Kind::File, ""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(qrv::client::OutcomeOfReason(row.reason), row.outcome) << row.reason;
        const std::string hint = qrv::client::ReasonHint(row.reason);
        if (*row.hint == '\0')
            EXPECT_EQ(hint, "") << row.reason;
        else
            EXPECT_NE(hint.find(row.hint), std::string::npos) << row.reason << ": " << hint;
    }
}

// Each failure as a script sees it: the exit code and the SDK's facts.
TEST_F(SimulatedModules, FailuresGiveTheirExitCodeAndSayWhy) {
    qrv::test::PtyPair silent, held;
    const int holder = open(held.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);
    const struct {
        const char* name;
        const char* fault;  // on the simulator, "" for none
        std::vector<std::string> args;
        int exit;
        std::vector<std::string> says;
    } rows[] = {
        {"missing",
         "",
         {"info", "--port", "/dev/qrv-no-such-port", "--baud", "9600"},
         3,
         {"No such file", "plugged in"}},
        {"not serial", "", {"info", "--port", "/dev/null", "--baud", "9600"}, 3, {"not a serial port", "qrvctl ports"}},
        {"busy",
         "",
         {"info", "--port", held.SlavePath(), "--baud", "9600"},
         3,
         // The hint names the holder from the failure's fields.
         {"held by process " + std::to_string(getpid()), "close the program",
          "process " + std::to_string(getpid()) + ")"}},
        {"silent",
         "",
         {"info", "--port", silent.SlavePath(), "--baud", "9600", "--timeout", "100"},
         4,
         {"no answer on " + silent.SlavePath() + " at 9600 baud", "qrvctl detect"}},
        {"refused", "status,cmd=D3", {"set", "channel=20", "--password", "123456"}, 5, {"refused", "status 0x"}},
        {"lost", "unplug,cmd=D2", {"info"}, 3, {"lost", "plug it back in"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Start(qrv::sim::Scenario::Default(), 115200);
        if (*row.fault) {
            qrv::sim::Fault fault;
            std::string error;
            ASSERT_TRUE(qrv::sim::ParseFault(row.fault, fault, error)) << error;
            sim_->AddFault(fault);
        }
        const bool onSim = row.args.size() < 5 || row.args[1].rfind("--port", 0) != 0;
        const Outcome outcome = onSim ? Run(row.args) : RunQrvctl(row.args);
        EXPECT_EQ(outcome.exit, row.exit) << outcome.err;
        for (const std::string& fragment : row.says)
            EXPECT_NE(outcome.err.find(fragment), std::string::npos) << outcome.err;
    }
    close(holder);
}

TEST_F(SimulatedModules, TraceShowsEveryFrameDecodedOnStandardError) {
    const Outcome outcome = Run({"info", "--trace", "--json"});
    ASSERT_EQ(outcome.exit, 0) << outcome.err;
    EXPECT_EQ(Json::parse(outcome.out)["fields"]["channel"], 11);  // the output stays clean
    const std::vector<std::string> lines = Lines(outcome.err);
    ASSERT_EQ(lines.size(), 4u) << outcome.err;
    for (const std::string& line : lines) EXPECT_TRUE(IsTraceLine(line)) << line;
    EXPECT_NE(lines[0].find("] -> AB D1 BA | read-base-info"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find("<- AB D1 00 01"), std::string::npos) << lines[1];
    EXPECT_NE(lines[3].find("read-property answer addr=0x0001 channel=11"), std::string::npos) << lines[3];
}

TEST_F(SimulatedModules, MonitorShowsTheTrafficOfReadsOrOfACommand) {
    const Outcome reads = Run({"monitor", "--count", "3", "--interval", "50", "--quiet"});
    EXPECT_EQ(reads.exit, 0) << reads.err;
    const std::vector<std::string> lines = Lines(reads.out);
    EXPECT_EQ(lines.size(), 12u) << reads.out;  // each read: two requests, two answers
    for (const std::string& line : lines) EXPECT_TRUE(IsTraceLine(line)) << line;

    // Options before the command are the command's too.
    const Outcome command = RunQrvctl({"monitor", "--port", sim_->SlavePath(), "--baud", "115200", "reset"});
    EXPECT_EQ(command.exit, 0) << command.err;
    EXPECT_NE(command.out.find("-> AB D7"), std::string::npos) << command.out;
    EXPECT_EQ(Run({"monitor", "monitor"}).exit, 2);
}

TEST_F(SimulatedModules, MonitorEndsWithASummaryAndFailsWhenAReadDid) {
    qrv::sim::Fault fault;
    std::string error;
    ASSERT_TRUE(qrv::sim::ParseFault("drop,cmd=D1,n=1", fault, error)) << error;
    sim_->AddFault(fault);
    const Outcome reads = Run({"monitor", "--count", "3", "--interval", "20"});
    EXPECT_EQ(reads.exit, 4) << reads.err;
    EXPECT_NE(reads.err.find("3 reads, 1 failed"), std::string::npos) << reads.err;
    EXPECT_NE(reads.err.find("1 of 3 reads failed"), std::string::npos) << reads.err;
}

TEST(UpgradeProgressLine, TimeLeftFollowsThePausesStillToCome) {
    const qrv::client::FirmwareFile image{16, 2, 100};  // 2 s of first blocks, 1 s of second ones
    const struct {
        std::size_t done;
        milliseconds atDone, sinceDone, left;
    } rows[] = {
        {0, 0ms, 0ms, 4200ms},       // prepare restart, 3 s of blocks, two closing restarts
        {0, 0ms, 5000ms, 0ms},       // never below nothing
        {2, 2400ms, 0ms, 1800ms},    // on the pauses' pace: 1 s of blocks and 0.8 s of restarts
        {2, 4800ms, 0ms, 3600ms},    // twice as slow so far: twice as long still
        {2, 2400ms, 500ms, 1300ms},  // counting down between blocks
        {102, 3400ms, 0ms, 800ms},   // only the closing restarts left
    };
    for (const auto& row : rows)
        EXPECT_EQ(qrv::client::UpgradeTimeLeft(image, true, row.done, row.atDone, row.sinceDone), row.left) << row.done;
    EXPECT_EQ(UpgradeProgressText({65s, 12s, 51, 102}),
              "[###############...............] block 51 of 102, 1m05s spent, about 12s left");
}

TEST_F(SimulatedModules, UpgradeReportsEveryBlockInOrder) {
    const std::string path = ::testing::TempDir() + "qrvctl-progress.bin";
    {
        std::ofstream file(path, std::ios::binary);
        const std::int32_t header[5] = {0, 0, 0x0800, 0x0A00, 16};  // eight blocks of 64 bytes
        file.write(reinterpret_cast<const char*>(header), sizeof header);
        file << std::string(8 * 64, '\x5A');
    }
    ASSERT_TRUE(qrv::client::OpenPort({sim_->SlavePath(), 115200, 300}).Ok());
    std::vector<std::pair<int, int>> reported;
    const auto module = qrv::client::LocalModule();
    qrv::client::ModuleRecords current;
    ASSERT_TRUE(module->Read(current).Ok());
    const qrv::client::Status st =
        module->Upgrade(path, current, [&](int done, int total) { reported.emplace_back(done, total); });
    qrv::client::ClosePort();
    ASSERT_TRUE(st.Ok()) << st.message;
    ASSERT_EQ(reported.size(), 8u);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(reported[static_cast<std::size_t>(i)], std::make_pair(i + 1, 8));
}

}  // namespace
}  // namespace qrvctl::testing
