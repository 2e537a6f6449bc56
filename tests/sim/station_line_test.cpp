// The production line of the network model: modules take their turn on the
// line, leave on request or by themselves after a write, and the UART rate
// a module's record holds is the rate its line runs at after a restart.
#include <gtest/gtest.h>

#include "protocol/frames.h"
#include "sim/network.h"
#include "sim/simulator.h"

using namespace qrv;
using namespace qrv::sim;
using namespace qrv::protocol;
using namespace std::chrono_literals;

namespace {

constexpr auto kLineRestart = 100ms;
constexpr auto kGap = 500ms;
const Clock::time_point kLineT0{};

bool Answers(Network& net, Clock::time_point now) {
    const Frame frame = BuildReadBaseInfo();
    const DecodeResult decoded = DecodeRequest(std::span(frame.bytes.data(), frame.size), true);
    return !net.Handle(decoded.request, now).answers.empty();
}

void SendOnLine(Network& net, const Frame& frame, Clock::time_point now) {
    const DecodeResult decoded = DecodeRequest(std::span(frame.bytes.data(), frame.size), true);
    ASSERT_EQ(decoded.status, DecodeStatus::Frame);
    net.Handle(decoded.request, now);
}

struct StationFixture : ::testing::Test {
    Network Make(std::optional<std::chrono::milliseconds> leaveAfter) {
        Scenario s = Scenario::Default();
        StationLine line;
        line.gap = kGap;
        line.leaveAfterWrite = leaveAfter;
        for (std::uint16_t address : {std::uint16_t{0x2002}, std::uint16_t{0x2003}}) {
            ModuleConfig m = s.local;
            m.record.LocalAddr = address;
            line.waiting.push_back(m);
        }
        Network net(s, 1, kLineRestart);
        net.SetStationLine(line);
        return net;
    }
};

}  // namespace

TEST_F(StationFixture, TakenOffModulesMakeWayForTheNextAfterTheGap) {
    Network net = Make(std::nullopt);
    ASSERT_TRUE(Answers(net, kLineT0));
    ASSERT_TRUE(net.TakeOff(kLineT0));
    EXPECT_FALSE(net.TakeOff(kLineT0));  // the jig is empty
    EXPECT_FALSE(Answers(net, kLineT0 + kGap - 1ms));
    EXPECT_TRUE(Answers(net, kLineT0 + kGap));
    EXPECT_EQ(net.Module(Network::kLocal).config.Address(), 0x2002);
    ASSERT_TRUE(net.TakeOff(kLineT0 + 1s));
    net.Settle(kLineT0 + 2s);
    ASSERT_TRUE(net.TakeOff(kLineT0 + 2s));
    // Used up: the line stays silent.
    EXPECT_FALSE(Answers(net, kLineT0 + 10s));
    ASSERT_EQ(net.Departed().size(), 3u);
    EXPECT_EQ(net.Departed()[2].Address(), 0x2003);
}

TEST_F(StationFixture, AWrittenModuleLeavesByItselfAfterItsRestart) {
    Network net = Make(300ms);
    SendOnLine(net, BuildResetModule(0x0001, 0x12), kLineT0);  // no write: it stays
    EXPECT_TRUE(Answers(net, kLineT0 + 5s));

    ModuleProperty record = net.Module(Network::kLocal).config.record;
    record.LocalAddr = 0x0042;
    const Clock::time_point t = kLineT0 + 5s;
    SendOnLine(net, BuildWriteProperty(0x0001, record), t);
    SendOnLine(net, BuildResetModule(0x0001, 0x12), t);
    EXPECT_TRUE(Answers(net, t + kLineRestart + 299ms));  // back, for the read-back
    EXPECT_FALSE(Answers(net, t + kLineRestart + 300ms));
    EXPECT_TRUE(Answers(net, t + kLineRestart + 300ms + kGap));
    EXPECT_EQ(net.Departed().at(0).Address(), 0x0042);
}

TEST(StationLine, UartRateFollowsTheRecordAfterTheRestart) {
    Network net(Scenario::Default(), 1, kLineRestart);
    EXPECT_EQ(net.LocalUartRate(), 115200u);
    ModuleProperty record = net.Module(Network::kLocal).config.record;
    record.UartBaud = 3;
    SendOnLine(net, BuildWriteProperty(0x0001, record), kLineT0);
    EXPECT_EQ(net.LocalUartRate(), 115200u);  // not before the restart
    SendOnLine(net, BuildResetModule(0x0001, 0x12), kLineT0);
    net.Settle(kLineT0 + kLineRestart);
    EXPECT_EQ(net.LocalUartRate(), 9600u);
}

TEST(StationLine, TheLineRateIsWhatTheRecordSays) {
    SimulatorOptions options;
    options.baud = 19200;
    Simulator sim(Scenario::Default(), options);
    EXPECT_EQ(sim.Module(0).config.record.UartBaud, 4);  // 19200
    EXPECT_EQ(sim.LineRate(), 19200u);
    options.baud = 250000;  // no module runs at it: the record is left alone
    Simulator odd(Scenario::Default(), options);
    EXPECT_EQ(odd.Module(0).config.record.UartBaud, 7);
}
