// qrvctl provision against simulated production lines: the report's
// records, a rerun after Ctrl-C, and two stations sharing one plan.
#include <signal.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <map>
#include <sstream>
#include <thread>

#include "sim/simulator.h"
#include "qrvctl_process.h"

#include <nlohmann/json.hpp>

namespace qrvctl::testing {
namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

constexpr const char* kPassword = "123456";  // the simulated modules'

// A line of `count` modules at 0x2001.. that leave by themselves soon
// after a write; HOME and XDG_CONFIG_HOME are the test's own.
class ProvisionLine : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir() + "provision-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ + "/home");
        setenv("HOME", (dir_ + "/home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir_ + "/home/.config").c_str(), 1);
    }

    qrv::sim::Simulator& AddLine(int count, std::optional<std::chrono::milliseconds> leaveAfter = 500ms) {
        qrv::sim::Scenario scenario = qrv::sim::Scenario::Default();
        qrv::sim::StationLine line;
        line.gap = 200ms;
        line.leaveAfterWrite = leaveAfter;
        for (int i = 0; i < count; ++i) {
            qrv::sim::ModuleConfig m = scenario.local;
            m.record.LocalAddr = m.factory.LocalAddr = static_cast<std::uint16_t>(0x2001 + i);
            if (i == 0) scenario.local = m;
            else line.waiting.push_back(m);
        }
        qrv::sim::SimulatorOptions options;
        options.restartTime = 100ms;
        options.station = line;
        sims_.push_back(std::make_unique<qrv::sim::Simulator>(scenario, options));
        EXPECT_TRUE(sims_.back()->Start());
        return *sims_.back();
    }

    std::string WritePlan(const std::string& csv) {
        std::ofstream(dir_ + "/plan.csv") << csv;
        return dir_ + "/plan.csv";
    }

    std::vector<std::string> Args(bool station) {
        std::vector<std::string> args{"provision", dir_ + "/plan.csv", "--password", kPassword, "--timeout", "150",
                                      "--poll", "50", "--report-csv", dir_ + "/report.csv"};
        if (station) args.push_back("--station");
        for (const auto& sim : sims_) {
            args.push_back("--port");
            args.push_back(sim->SlavePath());
        }
        return args;
    }

    // The module records of the report (not the claim and write marks).
    std::vector<Json> Records() const {
        std::vector<Json> records;
        std::ifstream in(dir_ + "/plan.csv.report.jsonl");
        for (std::string line; std::getline(in, line);) {
            Json j = Json::parse(line);
            if (j["result"] != "claimed" && j["result"] != "writing") records.push_back(j);
        }
        return records;
    }

    // Rows written, each with how often.
    std::map<int, int> WrittenRows() const {
        std::map<int, int> rows;
        for (const Json& r : Records())
            if (r["result"] == "written") ++rows[r["row"].get<int>()];
        return rows;
    }

    std::string dir_;
    std::vector<std::unique_ptr<qrv::sim::Simulator>> sims_;
};

TEST_F(ProvisionLine, UnchangedWrittenAndFailedModulesAreRecorded) {
    qrv::sim::Simulator& sim = AddLine(3, std::nullopt);
    WritePlan("local-address,name\n0x2001,本地主机\n0x0102,Pump 2\n0x0103,Pump 3\n");
    struct Step {
        const char* result;
        int exit;
    };
    for (const Step step : {Step{"unchanged", 0}, Step{"written", 0}, Step{"failed", 6}}) {
        if (std::string(step.result) == "failed") {
            qrv::sim::Fault forget;
            forget.kind = qrv::sim::FaultKind::Forget;
            sim.AddFault(forget);
        }
        const Outcome run = RunQrvctl(Args(false));
        EXPECT_EQ(run.exit, step.exit) << step.result << ": " << run.err;
        EXPECT_EQ(run.out.rfind(step.exit == 0 ? "PASS" : "FAIL", 0), 0u) << run.out;
        ASSERT_TRUE(sim.TakeOff());
        std::this_thread::sleep_for(300ms);
    }
    const std::vector<Json> records = Records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0]["result"], "unchanged");
    EXPECT_EQ(records[0]["wrote"], false);
    EXPECT_EQ(records[1]["before"]["local-address"], 0x2002);
    EXPECT_EQ(records[1]["after"]["local-address"], 0x0102);
    EXPECT_EQ(records[1]["module"]["address"], 0x2002);
    EXPECT_EQ(records[2]["row"], 3);
    EXPECT_EQ(records[2]["wrote"], true);  // the module kept its old record: row 3 is used up
    EXPECT_NE(records[2]["reason"].get<std::string>().find("local-address"), std::string::npos);
    for (const Json& r : records) EXPECT_GT(r["duration"].get<double>(), 0.0);
    std::ifstream csv(dir_ + "/report.csv");
    std::stringstream text;
    text << csv.rdbuf();
    const std::string lines = text.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4);
    // Nothing is left for a fourth module.
    EXPECT_NE(RunQrvctl(Args(false)).exit, 0);
}

TEST_F(ProvisionLine, ARerunAfterCtrlCWritesNoRowTwice) {
    qrv::sim::Simulator& sim = AddLine(4);
    WritePlan("local-address\n0x0101\n0x0102\n0x0103\n0x0104\n");
    {
        QrvctlProcess first(Args(true), "/nonexistent");
        for (int i = 0; i < 200 && WrittenRows().empty(); ++i) std::this_thread::sleep_for(25ms);
        first.Signal(SIGINT);
        const Outcome stopped = first.Wait(30s);
        EXPECT_NE(stopped.exit, 0);
    }
    const std::size_t before = WrittenRows().size();
    ASSERT_GE(before, 1u);
    const Outcome rest = RunQrvctl(Args(true));
    EXPECT_EQ(rest.exit, 0) << rest.err;
    const std::map<int, int> rows = WrittenRows();
    EXPECT_EQ(rows, (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    std::set<std::uint16_t> addresses;
    for (const auto& m : sim.Departed()) addresses.insert(m.Address());
    EXPECT_EQ(addresses, (std::set<std::uint16_t>{0x0101, 0x0102, 0x0103, 0x0104}));
}

TEST_F(ProvisionLine, TwoStationsShareOnePlan) {
    AddLine(3);
    AddLine(3);
    WritePlan("local-address,name\n0x0101,A\n0x0102,B\n0x0103,C\n0x0104,D\n0x0105,E\n0x0106,F\n");
    const Outcome run = RunQrvctl(Args(true));
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(WrittenRows(), (std::map<int, int>{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}));
    std::set<std::uint16_t> addresses;
    for (const auto& sim : sims_)
        for (const auto& m : sim->Departed()) addresses.insert(m.Address());
    EXPECT_EQ(addresses.size(), 6u);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 6);
}

}  // namespace
}  // namespace qrvctl::testing

namespace qrvctl::testing {
namespace {

TEST_F(ProvisionLine, FarModulesByMatchAddressOverTheAir) {
    qrv::sim::Simulator& sim = AddLine(1, std::nullopt);
    WritePlan("match-address,name\n0x0203,Far B\n0x0102,Far A\n");
    std::vector<std::string> args = Args(false);
    for (const char* a : {"--remote", "--baud", "115200"}) args.emplace_back(a);
    const Outcome run = RunQrvctl(args);
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(WrittenRows(), (std::map<int, int>{{1, 1}, {2, 1}}));
    for (const auto& [address, name] : {std::pair{0x0102, "Far A"}, {0x0203, "Far B"}}) {
        const auto index = sim.FindModule(static_cast<std::uint16_t>(address));
        ASSERT_TRUE(index);
        EXPECT_STREQ(sim.Module(*index).config.record.DevName, name);
    }
}

}  // namespace
}  // namespace qrvctl::testing

namespace qrvctl::testing {
namespace {

// A row that changes the line rate is read back at the new rate; the next
// module in the jig answers at the station's rate again.
TEST_F(ProvisionLine, ModulesMovedToAnotherLineRateAreVerifiedThere) {
    qrv::sim::Simulator& sim = AddLine(2);
    WritePlan("uart-baud\n9600\n19200\n");
    const Outcome run = RunQrvctl(Args(true));
    EXPECT_EQ(run.exit, 0) << run.err;
    EXPECT_EQ(WrittenRows(), (std::map<int, int>{{1, 1}, {2, 1}}));
    const auto departed = sim.Departed();
    ASSERT_EQ(departed.size(), 2u);
    EXPECT_EQ(departed[0].record.UartBaud, 3);  // 9600
    EXPECT_EQ(departed[1].record.UartBaud, 4);  // 19200
}

}  // namespace
}  // namespace qrvctl::testing
