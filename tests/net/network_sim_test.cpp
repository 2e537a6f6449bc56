// End to end against the simulated default network: a sweep, the duplicate
// rule, search by address, a far module read, moved and factory-reset, IO
// and AD both ways, and firmware upgrades. The device object's fixed pauses
// are shortened, and the simulated restarts to match.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>
#include <set>
#include <tuple>

#include "image_file.h"
#include "net_answers.h"
#include "records/module_records.h"
#include "sim/simulator.h"
#include "support/test_waits.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;
using namespace protocol;

constexpr double kWaitScale = 0.05;
// At 9600 baud a read ends after 41 ms of silence, so a busy machine that
// stalls the simulator for a few milliseconds cannot split an answer.
constexpr std::uint32_t kPortBaud = 9600;
constexpr std::uint32_t kReadTimeoutMs = 80;
constexpr std::uint8_t kHomeChannel = 11;
constexpr std::uint8_t kHomeRate = 0;

// Module addresses of the default network.
constexpr std::uint16_t kP2p = 0x0102;
constexpr std::uint16_t kWorkshopIo = 0x0203;
constexpr std::uint16_t kRelay = 0x0304;
constexpr std::uint16_t kPumpIo = 0x0405;
constexpr std::uint16_t kBootModule = 0x0506;

class SimNetwork : public ::testing::Test {
protected:
    void SetUp() override {
        sim::SimulatorOptions options;
        options.baud = kPortBaud;  // the module's UART and the port agree
        // Restarts end well inside the (shortened) 400 ms after a reset frame.
        options.restartTime = 5ms;
        sim_ = std::make_unique<sim::Simulator>(sim::Scenario::Default(), options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        const std::wstring path(sim_->SlavePath().begin(), sim_->SlavePath().end());
        ASSERT_EQ(port_.Open(path.c_str(), kPortBaud, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
        ASSERT_TRUE(Dev().LoadInfo().Ok());
        ASSERT_EQ(Dev().CurProperty.Channel, kHomeChannel);
    }
    void TearDown() override {
        port_.Close();
        sim_->Stop();
    }

    CQRVDev& Dev() { return dev_; }
    const CQRVDev& Dev() const { return dev_; }

    ::ModuleBase Base(int index) const {
        ::ModuleBase base{};
        EXPECT_TRUE(Dev().GetRemoteDevBase(&base, index).Ok()) << index;
        return base;
    }
    // The entry index of the module with `addr`, -1 when not listed.
    int IndexOf(std::uint16_t addr) const {
        for (int i = 0; i < Dev().Found.Count(); ++i)
            if (Base(i).NetAddr == addr) return i;
        return -1;
    }
    std::size_t SimIndex(std::uint16_t addr) const {
        const auto index = sim_->FindModule(addr);
        EXPECT_TRUE(index.has_value()) << addr;
        return index.value_or(0);
    }
    // Requests of one command the simulated line has seen since the log was cleared.
    std::vector<sim::LogEntry> Requests(std::uint8_t code) const {
        std::vector<sim::LogEntry> found;
        for (const auto& entry : sim_->Log())
            if (entry.kind == sim::LogKind::Request && entry.command &&
                entry.command->family == sim::Family::Config && entry.command->code == code)
                found.push_back(entry);
        return found;
    }

    std::unique_ptr<sim::Simulator> sim_;
    SerialPort port_;
    ScaledWaits waits_{kWaitScale};
    CQRVDev dev_{port_, waits_};
};

using Found = std::tuple<std::uint16_t, std::uint16_t, std::uint8_t, int, int>;

TEST_F(SimNetwork, SweepFindsExactlyTheNetworksModulesOnTheirPairs) {
    // Every channel a module sits on, at every rate: six of the nine pairs
    // are silent.
    for (int channel : {11, 15, 26}) {
        for (int rate : {0, 1, 2}) {
            Dev().SearchDev(channel, rate);
            // Every search ends with the radio back on the local module's pair.
            EXPECT_EQ(sim_->TunedPair(), std::make_pair(kHomeChannel, kHomeRate));
        }
    }

    std::set<Found> expected;
    for (std::size_t i = 1; i < sim_->ModuleCount(); ++i) {
        const auto config = sim_->Module(i).config;
        const ::ModuleBase base = config.Base();
        expected.emplace(base.NetAddr, base.DevType, base.RunState, config.record.Channel, config.record.AirRate);
    }
    // A load leaves the radio on the pair the entry was found on.
    std::set<Found> found;
    const int count = Dev().Found.Count();
    for (int i = 0; i < count; ++i) {
        const ::ModuleBase base = Base(i);
        EXPECT_EQ(+base.FwVersion, 0);
        EXPECT_TRUE(Dev().LoadRemoteDevInfo(i).Ok()) << i;
        const auto [channel, rate] = sim_->TunedPair();
        found.emplace(base.NetAddr, base.DevType, base.RunState, channel, rate);
    }
    EXPECT_EQ(count, 5);
    EXPECT_EQ(found, expected);
}

TEST_F(SimNetwork, RepeatedAnswersAreAbsorbedUntilTheVersionIsKnown) {
    EXPECT_TRUE(Dev().SearchDev(kHomeChannel, kHomeRate).Ok());
    ASSERT_EQ(Dev().Found.Count(), 3);  // point-to-point, workshop IO, boot loader
    EXPECT_FALSE(Dev().SearchDev(kHomeChannel, kHomeRate).Ok());
    EXPECT_FALSE(Dev().SearchDevByAddr(kHomeChannel, kHomeRate, kWorkshopIo).Ok());
    EXPECT_EQ(Dev().Found.Count(), 3);

    // Reading the record brings the version; the entry then stops absorbing.
    const int p2p = IndexOf(kP2p);
    ASSERT_TRUE(Dev().LoadRemoteDevInfo(p2p).Ok());
    EXPECT_EQ(+Base(p2p).FwVersion, +sim_->Module(SimIndex(kP2p)).config.record.FwVersion);
    EXPECT_TRUE(Dev().SearchDev(kHomeChannel, kHomeRate).Ok());
    ASSERT_EQ(Dev().Found.Count(), 4);
    EXPECT_EQ(+Base(3).NetAddr, kP2p);
    EXPECT_EQ(+Base(3).FwVersion, 0);
}

TEST_F(SimNetwork, SearchByAddressFindsOnlyThatModule) {
    EXPECT_TRUE(Dev().SearchDevByAddr(15, 1, kPumpIo).Ok());
    EXPECT_FALSE(Dev().SearchDevByAddr(15, 1, 0x0999).Ok());
    EXPECT_FALSE(Dev().SearchDevByAddr(26, 2, kPumpIo).Ok());
    ASSERT_EQ(Dev().Found.Count(), 1);
    EXPECT_EQ(+Base(0).NetAddr, kPumpIo);
    EXPECT_EQ(+Base(0).DevType, kDevTypeVlxIo);
}

TEST_F(SimNetwork, MovedModuleIsFoundAtItsNewPlace) {
    ASSERT_TRUE(Dev().SearchDev(26, 2).Ok());
    const int relay = IndexOf(kRelay);
    ModuleProperty record{};
    ASSERT_TRUE(Dev().GetRemoteDevPropertyAll(&record, relay).Ok());
    EXPECT_STREQ(record.DevName, sim_->Module(SimIndex(kRelay)).config.record.DevName);

    record.LocalAddr = 0x0777;
    record.Channel = 20;
    record.AirRate = 1;
    record.RetryCount = 7;
    ASSERT_TRUE(Dev().SetRemotePropertyAll(&record, relay).Ok());
    ASSERT_TRUE(Dev().SubmitRemoteDevInfo(relay).Ok());
    EXPECT_EQ(sim_->TunedPair(), std::make_pair(kHomeChannel, kHomeRate));

    // The module now lives at 0x0777 on 20 / 500 K, and the entry with it.
    const auto moved = sim_->Module(SimIndex(0x0777)).config.record;
    EXPECT_EQ(moved.Channel, 20);
    EXPECT_EQ(moved.AirRate, 1);
    EXPECT_EQ(+Base(relay).NetAddr, 0x0777);
    ModuleProperty reread{};
    ASSERT_TRUE(Dev().GetRemoteDevPropertyAll(&reread, relay).Ok());
    EXPECT_EQ(+reread.LocalAddr, 0x0777);
    EXPECT_EQ(reread.RetryCount, 7);
    EXPECT_EQ(sim_->TunedPair(), std::make_pair(std::uint8_t{20}, std::uint8_t{1}));
    ASSERT_TRUE(Dev().ResetRemoteDev(relay).Ok());
    EXPECT_EQ(sim_->Module(SimIndex(0x0777)).restarts, 2u);
}

TEST_F(SimNetwork, FactoryResetBringsBackTheDefaults) {
    ASSERT_TRUE(Dev().SearchDev(kHomeChannel, kHomeRate).Ok());
    const int p2p = IndexOf(kP2p);
    ModuleProperty record{};
    ASSERT_TRUE(Dev().GetRemoteDevPropertyAll(&record, p2p).Ok());
    std::strcpy(record.DevName, "renamed");
    record.RetryCount = 9;
    ASSERT_TRUE(Dev().SetRemotePropertyAll(&record, p2p).Ok());
    ASSERT_TRUE(Dev().SubmitRemoteDevInfo(p2p).Ok());
    EXPECT_STREQ(sim_->Module(SimIndex(kP2p)).config.record.DevName, "renamed");

    ASSERT_TRUE(Dev().ResetRemoteToDefault(p2p).Ok());
    char name[16];
    EXPECT_EQ(Dev().GetRemoteDevProperty(p2p, 1, name, sizeof name).reason, Reason::NotLoaded);
    ASSERT_TRUE(Dev().GetRemoteDevPropertyAll(&record, p2p).Ok());
    EXPECT_STREQ(record.DevName, "P2P-Node-A");
    EXPECT_EQ(record.RetryCount, sim_->Module(SimIndex(kP2p)).config.factory.RetryCount);
    EXPECT_EQ(sim_->TunedPair(), std::make_pair(kHomeChannel, kHomeRate));
}

TEST_F(SimNetwork, IoLinesAndAdValuesLocalAndFar) {
    // The local module is a wireless-IO module itself.
    EXPECT_TRUE(Dev().SetIODirAll(-1, 0x03).Ok());
    EXPECT_TRUE(Dev().SetIOValue(-1, 0x05).Ok());
    EXPECT_EQ(sim_->Module(0).config.io.directions, 0x03);
    EXPECT_EQ(sim_->Module(0).config.io.outputs, 0x05);
    sim_->SetInputs(0, 0x0A);
    std::uint8_t lines = 0;
    EXPECT_TRUE(Dev().GetIOValue(-1, &lines).Ok());
    EXPECT_EQ(lines, 0x0A);
    sim_->SetAd(0, {1650, 3300, 0, 812});
    std::uint8_t ad[8] = {};
    EXPECT_TRUE(Dev().GetADValue(-1, ad).Ok());
    // Passed on as they came: four values, high byte first.
    EXPECT_EQ(std::vector<std::uint8_t>(ad, ad + 8),
              (std::vector<std::uint8_t>{0x06, 0x72, 0x0C, 0xE4, 0x00, 0x00, 0x03, 0x2C}));

    // The workshop module's outputs are wired back to its inputs.
    ASSERT_TRUE(Dev().SearchDev(kHomeChannel, kHomeRate).Ok());
    const int workshop = IndexOf(kWorkshopIo);
    EXPECT_TRUE(Dev().SetIODirAll(workshop, 0x0F).Ok());
    EXPECT_TRUE(Dev().SetIOValue(workshop, 0x06).Ok());
    EXPECT_TRUE(Dev().GetIOValue(workshop, &lines).Ok());
    EXPECT_EQ(lines, 0x06);
    EXPECT_EQ(sim_->Module(SimIndex(kWorkshopIo)).config.io.directions, 0x0F);

    ASSERT_TRUE(Dev().SearchDev(15, 1).Ok());
    const int pump = IndexOf(kPumpIo);
    sim_->SetAd(SimIndex(kPumpIo), {420, 1875, 2600, 95});
    EXPECT_TRUE(Dev().GetADValue(pump, ad).Ok());
    EXPECT_EQ(std::vector<std::uint8_t>(ad, ad + 8),
              (std::vector<std::uint8_t>{0x01, 0xA4, 0x07, 0x53, 0x0A, 0x28, 0x00, 0x5F}));
    EXPECT_EQ(sim_->TunedPair(), std::make_pair(kHomeChannel, kHomeRate));
    // A module without IO lines stays silent: refused, and home again.
    const int p2p = IndexOf(kP2p);
    EXPECT_FALSE(Dev().GetIOValue(p2p, &lines).Ok());
    EXPECT_EQ(sim_->TunedPair(), std::make_pair(kHomeChannel, kHomeRate));
}

// Two first-region blocks and three second-region blocks, numbered 1..5.
sim::FirmwareBlocks ExpectedBlocks(const ImageLayout& layout) {
    sim::FirmwareBlocks blocks;
    int n = 0;
    for (std::int32_t offset = layout.firstStart; layout.firstStart > 0 && offset < layout.firstEnd; offset += 64) {
        const auto bytes = BlockBytes(n++);
        std::copy(bytes.begin(), bytes.end(), blocks[static_cast<std::uint16_t>(offset)].begin());
    }
    for (std::int32_t offset = layout.secondStart; offset < layout.secondEnd; offset += 64) {
        const auto bytes = BlockBytes(n++);
        std::copy(bytes.begin(), bytes.end(), blocks[static_cast<std::uint16_t>(offset)].begin());
    }
    return blocks;
}

class SimFirmware : public SimNetwork {
protected:
    // A 72-byte block takes 75 ms on a 9600 baud line, the module's answer
    // follows it: more than the 80 ms that suit the searches.
    void SetUp() override {
        SimNetwork::SetUp();
        const std::wstring path(sim_->SlavePath().begin(), sim_->SlavePath().end());
        ASSERT_EQ(port_.Open(path.c_str(), kPortBaud, 8, 0, 0, 0, 0, 0, 0, kBlockReadTimeoutMs), 1);
    }
    static constexpr std::uint32_t kBlockReadTimeoutMs = 300;

    // A Chinese file name: the wide path must reach the file system as UTF-8.
    std::wstring WriteImage(const ImageLayout& layout) {
        dir_.Write("固件 升级.bin", ImageBytes(layout));
        return dir_.Path().wstring() + L"/固件 升级.bin";
    }

    TempDir dir_;
    const ImageLayout image_{0x100, 0x180, 0x1000, 0x10C0, 16};
    CapturedUpgrade upgrade_;
};

TEST_F(SimFirmware, RunningModuleIsPreparedUpgradedAndRestarted) {
    const std::size_t module = SimIndex(kP2p);
    const auto before = sim_->Module(module).config.record;
    sim_->ClearLog();
    EXPECT_TRUE(Dev().UpdateWithFile(WriteImage(image_).c_str(), kRunStateUser, kP2p, kDevTypeQrv, upgrade_).Ok());

    EXPECT_EQ(Requests(kCmdEnterUpdate).size(), 1u);
    EXPECT_EQ(Requests(kCmdFirmwareBlock).size(), 5u);
    EXPECT_EQ(Requests(kCmdFinishUpdate).size(), 1u);
    const auto after = sim_->Module(module);
    EXPECT_EQ(sim::ImageDigest(after.installedImage), sim::ImageDigest(ExpectedBlocks(image_)));
    EXPECT_EQ(after.config.record.RunState, kRunStateUser);
    EXPECT_EQ(+after.config.record.DevType, kDevTypeQrv);
    EXPECT_EQ(+after.config.record.FwVersion, sim::NextBcdVersion(before.FwVersion));
}

TEST_F(SimFirmware, BootLoaderModuleGetsNoPrepareFrame) {
    const std::size_t module = SimIndex(kBootModule);
    sim_->ClearLog();
    EXPECT_TRUE(Dev().UpdateWithFile(WriteImage(image_).c_str(), kRunStateBoot, kBootModule, kDevTypeBoot, upgrade_).Ok());
    EXPECT_TRUE(Requests(kCmdEnterUpdate).empty());
    const auto after = sim_->Module(module);
    EXPECT_EQ(sim::ImageDigest(after.installedImage), sim::ImageDigest(ExpectedBlocks(image_)));
    // Back in user firmware as the module type it was built for.
    EXPECT_EQ(after.config.record.RunState, kRunStateUser);
    EXPECT_EQ(+after.config.record.DevType, kDevTypeQrv);
}

TEST_F(SimFirmware, BlockRefusedThreeTimesEndsWithoutFinishing) {
    sim::Fault refuse;
    refuse.kind = sim::FaultKind::BadStatus;
    refuse.command = sim::CommandKey{sim::Family::Config, kCmdFirmwareBlock};
    refuse.count = 3;
    sim_->AddFault(refuse);
    sim_->ClearLog();
    EXPECT_FALSE(Dev().UpdateWithFile(WriteImage(image_).c_str(), kRunStateBoot, kBootModule, kDevTypeBoot, upgrade_).Ok());
    const auto blocks = Requests(kCmdFirmwareBlock);
    ASSERT_EQ(blocks.size(), 3u);
    for (const auto& block : blocks) EXPECT_EQ(block.bytes, blocks[0].bytes);
    EXPECT_TRUE(Requests(kCmdFinishUpdate).empty());
    EXPECT_TRUE(Requests(kCmdResetModule).empty());
    EXPECT_EQ(sim_->Module(SimIndex(kBootModule)).config.record.RunState, kRunStateBoot);
}

}  // namespace
}  // namespace qrv::test
