// The network model without a pty: time is handed in, so restarts and
// seeded drift are checked exactly.
#include <gtest/gtest.h>

#include "protocol/frames.h"
#include "sim/network.h"

using namespace qrv;
using namespace qrv::sim;
using namespace qrv::protocol;
using namespace std::chrono_literals;

namespace {

constexpr auto kRestart = 100ms;
const Clock::time_point kT0{};

Reply Send(Network& net, const Frame& frame, Clock::time_point now = kT0) {
    const DecodeResult decoded = DecodeRequest(std::span(frame.bytes.data(), frame.size), true);
    EXPECT_EQ(decoded.status, DecodeStatus::Frame);
    return net.Handle(decoded.request, now);
}

// Index of the default network's modules.
constexpr std::size_t kP2p = 1, kWorkshopIo = 2, kPumpIo = 4, kBoot = 5;

}  // namespace

TEST(NetworkModel, TuneRefusesChannelsAndRatesModulesDoNotHave) {
    Network net(Scenario::Default(), 1, kRestart);
    for (const auto& [channel, rate] : {std::pair{5, 0}, {31, 0}, {11, 3}, {0, 0}}) {
        const Reply reply =
            Send(net, BuildTuneRadio(static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(rate)));
        ASSERT_EQ(reply.answers.size(), 1u);
        EXPECT_NE(reply.answers[0][2], 0) << channel << "/" << rate;
    }
    EXPECT_EQ(net.TunedChannel(), 11);  // still on the local module's own pair
    EXPECT_EQ(net.TunedRate(), 0);
}

TEST(NetworkModel, ModuleInItsBootLoaderKeepsNoConfigurationAndRunsNoIo) {
    Scenario scenario = Scenario::Default();
    Network net(scenario, 1, kRestart);
    const std::uint16_t boot = net.Module(kBoot).config.Address();
    const Reply write = Send(net, BuildWriteProperty(boot, net.Module(kBoot).config.record));
    ASSERT_EQ(write.answers.size(), 1u);
    EXPECT_NE(write.answers[0][4], 0);
    const Reply factory = Send(net, BuildFactoryReset(boot, 0));
    EXPECT_NE(factory.answers.at(0)[6], 0);
    EXPECT_TRUE(Send(net, BuildIoReadInputs(boot)).answers.empty());
    // A point-to-point module has no IO lines either.
    EXPECT_TRUE(Send(net, BuildIoReadInputs(net.Module(kP2p).config.Address())).answers.empty());
}

TEST(NetworkModel, WriteTakesOnlyTheWholeRecordFromOffsetZero) {
    Network net(Scenario::Default(), 1, kRestart);
    Frame frame = BuildWriteProperty(0x0102, net.Module(kP2p).config.record);
    frame.bytes[5] = 0x20;  // a partial count
    const Reply reply = Send(net, frame);
    EXPECT_NE(reply.answers.at(0)[4], 0);
    EXPECT_FALSE(net.Module(kP2p).pending);
}

TEST(NetworkModel, RestartIsSilentForItsWholeTimeThenAppliesThePendingRecord) {
    Network net(Scenario::Default(), 1, kRestart);
    ModuleProperty changed = net.Module(kP2p).config.record;
    changed.LocalAddr = 0x0777;
    changed.RunState = 0x00;  // read-only bytes from the host are ignored
    ASSERT_EQ(Send(net, BuildWriteProperty(0x0102, changed)).answers.at(0)[4], 0);
    EXPECT_TRUE(Send(net, BuildResetModule(0x0102, 0x10), kT0).answers.empty());

    EXPECT_TRUE(Send(net, BuildReadProperty(0x0102, 0, 57), kT0 + kRestart - 1ms).answers.empty());
    EXPECT_TRUE(Send(net, BuildReadProperty(0x0777, 0, 57), kT0 + kRestart - 1ms).answers.empty());
    EXPECT_EQ(Send(net, BuildReadProperty(0x0777, 0, 57), kT0 + kRestart).answers.size(), 1u);
    EXPECT_EQ(net.Module(kP2p).config.record.RunState, kRunStateUser);
    EXPECT_EQ(net.Module(kP2p).restarts, 1u);
}

TEST(NetworkModel, LocalRestartRetunesTheRadioToTheNewOwnPair) {
    Network net(Scenario::Default(), 1, kRestart);
    ModuleProperty changed = net.Module(Network::kLocal).config.record;
    changed.Channel = 15;
    changed.AirRate = kAirRate500K;
    ASSERT_EQ(Send(net, BuildWriteProperty(0x0001, changed)).answers.at(0)[4], 0);
    Send(net, BuildTuneRadio(26, 2));
    Send(net, BuildResetModule(0x0001, 0x12));
    // The local module relays nothing while it restarts: not even D1 answers.
    EXPECT_TRUE(Send(net, BuildReadBaseInfo(), kT0 + 50ms).answers.empty());
    const Reply search = Send(net, BuildSearchBroadcast(), kT0 + kRestart);
    EXPECT_EQ(net.TunedChannel(), 15);
    ASSERT_EQ(search.answers.size(), 1u);  // Pump-IO lives on 15 / 500 K
    EXPECT_EQ(search.answers[0][3], 0x05);
}

TEST(NetworkModel, AdDriftIsDeterministicBySeedAndStaysInRange) {
    auto readings = [](std::uint64_t seed) {
        Network net(Scenario::Default(), seed, kRestart);
        std::vector<Bytes> values;
        for (int i = 0; i < 50; ++i) values.push_back(Send(net, BuildIoReadAd(0x0001)).answers.at(0));
        return values;
    };
    const auto a = readings(7), b = readings(7), c = readings(8);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    EXPECT_NE(a.front(), a.back());  // a reader sees live data
    for (const Bytes& answer : a)
        for (std::size_t ch = 0; ch < 4; ++ch) EXPECT_LE(ReadBigEndian16(answer.data() + 4 + 2 * ch), 3300);
}

TEST(NetworkModel, OutputsReachInputsOnlyWhenWiredBack) {
    Scenario scenario = Scenario::Default();
    Network net(scenario, 1, kRestart);
    Send(net, BuildTuneRadio(15, 1));
    Send(net, BuildIoSetOutputs(0x0405, 0x0A));
    // Pump-IO is not wired back: its inputs keep the levels driven from outside.
    EXPECT_EQ(Send(net, BuildIoReadInputs(0x0405)).answers.at(0)[4], 0x05);
    net.Module(kPumpIo).config.io.loopback = true;
    EXPECT_EQ(Send(net, BuildIoReadInputs(0x0405)).answers.at(0)[4], 0x0F);
    EXPECT_EQ(net.Module(kWorkshopIo).config.io.outputs, 0);
}

TEST(NetworkModel, UpgradeVersionFromTheScenarioWinsOverTheIncrement) {
    Scenario scenario = Scenario::Default();
    scenario.far[kBoot - 1].upgradeVersion = 0x0300;
    Network net(scenario, 1, kRestart);
    const std::uint8_t data[kFirmwareBlockSize] = {1, 2, 3};
    EXPECT_EQ(Send(net, BuildFinishUpdate(0x0506, 0)).answers.at(0)[6], 1);  // nothing received yet
    ASSERT_EQ(Send(net, BuildFirmwareBlock(0x0506, 0x0100, data, FirmwareRegion::Second)).answers.at(0)[6], 0);
    ASSERT_EQ(Send(net, BuildFinishUpdate(0x0506, 0)).answers.at(0)[6], 0);
    Send(net, BuildResetModule(0x0506, 0));
    net.Settle(kT0 + kRestart);
    const ModuleConfig& config = net.Module(kBoot).config;
    EXPECT_EQ(+config.record.FwVersion, 0x0300);
    EXPECT_EQ(+config.record.DevType, kDevTypeQrv);
    EXPECT_EQ(config.record.RunState, kRunStateUser);
    EXPECT_FALSE(config.upgradeVersion);  // used once
}

TEST(NetworkModel, NextBcdVersionCountsInDecimalDigits) {
    EXPECT_EQ(NextBcdVersion(0x0123), 0x0124);
    EXPECT_EQ(NextBcdVersion(0x0129), 0x0130);
    EXPECT_EQ(NextBcdVersion(0x0999), 0x1000);
    EXPECT_EQ(NextBcdVersion(0x9999), 0x0001);
    EXPECT_EQ(NextBcdVersion(0x0000), 0x0001);
}
