// Every fault mode as a host sees it on the line.
#include <algorithm>
#include <chrono>
#include <cstring>

#include "protocol/frames.h"
#include "sim/line_timing.h"
#include "sim_fixture.h"

using namespace qrv;
using namespace qrv::sim;
using namespace qrv::sim::testing;
using namespace qrv::protocol;

namespace {

const CommandKey kReadInfo{Family::Config, 0xD1};
const CommandKey kReadProperty{Family::Config, 0xD2};

Fault Once(FaultKind kind, CommandKey command) { return Fault{kind, command, 1.0, 1}; }

}  // namespace

TEST_F(SimOverPty, DropLeavesTheRequestUnanswered) {
    sim_->AddFault(Once(FaultKind::Drop, kReadProperty));
    ExpectNoAnswer(BuildReadProperty(0x0001, 0, 57));
    EXPECT_EQ(host_->Exchange(BuildReadProperty(0x0001, 0, 57), kAnswerLenProperty).size(), kAnswerLenProperty);
    const auto log = sim_->Log();
    EXPECT_TRUE(std::any_of(log.begin(), log.end(),
                            [](const LogEntry& e) { return e.kind == LogKind::Fault && e.text == "fault: drop"; }));
}

TEST_F(SimOverPty, BadStatusRefusesTheWrite) {
    sim_->AddFault(Once(FaultKind::BadStatus, {Family::Config, 0xD3}));
    const Bytes ack = host_->Exchange(BuildWriteProperty(0x0001, sim_->Module(0).config.record), 6);
    ASSERT_EQ(ack.size(), 6u);
    EXPECT_NE(ack[4], 0);
    EXPECT_FALSE(CheckWritePropertyAnswer(Answer{ack.data(), ack.size()}).Ok());
}

TEST_F(SimOverPty, TruncatedAnswerStopsHalfWay) {
    sim_->AddFault(Once(FaultKind::Truncate, kReadInfo));
    host_->Purge();
    host_->Write(BuildReadBaseInfo());
    const Bytes full = LocalInfoAnswer();
    EXPECT_EQ(host_->ReadCount(5, Millis(1000)), Bytes(full.begin(), full.begin() + 5));
    ExpectOnlyProbeFollows();
}

TEST_F(SimOverPty, GarbageComesBeforeTheAnswer) {
    sim_->AddFault(Once(FaultKind::Garbage, kReadInfo));
    host_->Purge();
    host_->Write(BuildReadBaseInfo());
    Bytes got = host_->ReadCount(11, Millis(1000));
    const Bytes answer = LocalInfoAnswer();
    // One to four stray bytes: read on until the answer's end byte is in.
    while (got.size() < 14 && got.back() != 0xBA) {
        const Bytes more = host_->ReadCount(1, Millis(1000));
        if (more.empty()) break;
        got.push_back(more[0]);
    }
    ASSERT_GE(got.size(), 11u);
    EXPECT_EQ(Bytes(got.end() - 10, got.end()), answer);
}

TEST_F(SimOverPty, LateAnswerComesAfterTheHostStoppedReading) {
    SimulatorOptions o = FastOptions();
    o.lateDelay = Millis(300);
    o.faults.push_back(Once(FaultKind::Late, kReadInfo));
    StartSim(Scenario::Default(), o);
    const auto start = std::chrono::steady_clock::now();
    host_->Purge();
    host_->Write(BuildReadBaseInfo());
    EXPECT_TRUE(host_->ReadCount(10, Millis(150)).empty());
    EXPECT_EQ(host_->ReadCount(10, Millis(2000)), LocalInfoAnswer());
    EXPECT_GE(std::chrono::steady_clock::now() - start, Millis(300));
}

TEST_F(SimOverPty, UnplugFaultHangsUpTheLine) {
    sim_->AddFault(Once(FaultKind::Unplug, {Family::Config, 0xD7}));
    host_->Purge();
    host_->Write(BuildResetModule(0x0001, 0x0012));
    EXPECT_TRUE(host_->HungUp(Millis(2000)));
    ASSERT_TRUE(sim_->WaitForLog(
        [](const std::vector<LogEntry>& log) { return !log.empty() && log.back().kind == LogKind::Unplugged; },
        Millis(2000)));
    EXPECT_TRUE(sim_->Unplugged());
}

TEST_F(SimOverPty, UnplugCallHangsUpTheLine) {
    sim_->Unplug();
    EXPECT_TRUE(host_->HungUp(Millis(2000)));
    sim_->Stop();
    EXPECT_TRUE(sim_->Unplugged());
}

TEST_F(SimOverPty, FaultsForAllCommandsHitEveryRequest) {
    sim_->AddFault(Fault{FaultKind::BadStatus, std::nullopt, 1.0, -1});
    EXPECT_EQ(host_->Exchange(BuildTuneRadio(11, 0), 4), (Bytes{0xAB, 0xD4, 0x01, 0xBA}));
    EXPECT_EQ(host_->Exchange(BuildIoSetOutputs(0x0001, 1), 6)[4], 0x01);
    sim_->ClearFaults();
    EXPECT_EQ(host_->Exchange(BuildTuneRadio(11, 0), 4), (Bytes{0xAB, 0xD4, 0x00, 0xBA}));
}

// At 9600 baud the host's read interval (41 ms) dwarfs any scheduling hiccup.
TEST(SplitFault, AnswerArrivesInTwoBurstsTheHostReadsSeparately) {
    SimulatorOptions o = FastOptions();
    o.baud = 9600;
    o.faults.push_back(Once(FaultKind::Split, kReadInfo));
    Simulator sim(Scenario::Default(), o);
    ASSERT_TRUE(sim.Start());
    PtyHost host(sim.SlavePath(), o.baud);
    host.Write(BuildReadBaseInfo());
    const Millis interval = HostReadInterval(9600);
    const Bytes first = host.ReadBurst(Millis(2000), interval);
    const Bytes second = host.ReadBurst(Millis(2000), interval);
    const Bytes answer = BuildBaseInfoAnswer(sim.Module(0).config.Base());
    EXPECT_EQ(first, Bytes(answer.begin(), answer.begin() + 5));
    EXPECT_EQ(second, Bytes(answer.begin() + 5, answer.end()));
}

TEST_F(SimOverPty, ForgottenWriteIsAcknowledgedButTheRestartKeepsTheOldRecord) {
    sim_->AddFault(Once(FaultKind::Forget, {Family::Config, 0xD3}));
    ModuleProperty record = sim_->Module(0).config.record;
    const ModuleProperty before = record;
    std::strcpy(record.DevName, "Forgotten");
    const Bytes ack = host_->Exchange(BuildWriteProperty(0x0001, record), 6);
    ASSERT_EQ(ack.size(), 6u);
    EXPECT_EQ(ack[4], 0);
    ResetAndWait(BuildResetModule(0x0001, 0x0012), 0);
    EXPECT_STREQ(sim_->Module(0).config.record.DevName, before.DevName);
}

// A line set to another rate than the module's: the module makes nothing of
// the bytes, and answers according to the scenario.
TEST(BaudMismatch, SilentByDefaultNoiseOnRequestAndAnyBaudUnderstandsEveryRate) {
    struct Row {
        const char* what;
        BaudMismatch mismatch;
        bool anyBaud;
    } rows[] = {{"silent", BaudMismatch::Silent, false},
                {"junk", BaudMismatch::Junk, false},
                {"any baud", BaudMismatch::Silent, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Scenario scenario = Scenario::Default();
        scenario.baudMismatch = row.mismatch;
        SimulatorOptions o = FastOptions();
        o.anyBaud = row.anyBaud;
        Simulator sim(scenario, o);
        ASSERT_TRUE(sim.Start());
        PtyHost host(sim.SlavePath(), 9600);
        host.Write(BuildReadBaseInfo());
        const Bytes got = host.ReadBurst(Millis(300), Millis(50));
        if (row.anyBaud) {
            EXPECT_EQ(got, BuildBaseInfoAnswer(sim.Module(0).config.Base()));
            continue;
        }
        if (row.mismatch == BaudMismatch::Silent) {
            EXPECT_TRUE(got.empty());
        } else {
            ASSERT_FALSE(got.empty());
            EXPECT_LE(got.size(), 4u);
            for (std::uint8_t b : got) EXPECT_TRUE(b != 0xAB && b != 0xAA && (b < 0xD1 || b > 0xDB)) << int(b);
        }
        const auto log = sim.Log();
        EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const LogEntry& e) { return e.kind == LogKind::Request; }));
        EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const LogEntry& e) {
            return e.kind == LogKind::Discarded && e.text.find("9600 baud") != std::string::npos;
        }));
    }
}
