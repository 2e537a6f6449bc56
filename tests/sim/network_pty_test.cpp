// The simulated network driven over its pty, byte for byte, as a host
// program would drive it.
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

constexpr std::size_t kP2p = 1, kWorkshopIo = 2;

std::uint16_t Word(const Bytes& b, std::size_t at) { return qrv::ReadBigEndian16(b.data() + at); }

// The record of a 0xD2 answer; all zero when the answer is too short.
ModuleProperty RecordOf(const Bytes& answer) {
    if (answer.size() < kAnswerLenProperty) return ModuleProperty{};
    return qrv::PropertyFromWire(answer.data() + kAnswerPropertyOffset);
}

}  // namespace

TEST_F(SimOverPty, BroadcastSearchIsAnsweredOnTheTunedPairOnly) {
    Tune(26, kAirRate1M);
    host_->Purge();
    host_->Write(BuildSearchBroadcast());
    EXPECT_EQ(host_->ReadCount(8, Millis(1000)), (Bytes{0xAB, 0xD5, 0x03, 0x04, 0x00, 0x11, 0xAA, 0xBA}));
    ExpectOnlyProbeFollows();

    Tune(11, kAirRate250K);
    host_->Purge();
    host_->Write(BuildSearchBroadcast());
    // Three modules share 11 / 250 K; the local module, also there, is the relay and stays quiet.
    EXPECT_EQ(host_->ReadCount(8, Millis(1000)), (Bytes{0xAB, 0xD5, 0x01, 0x02, 0x00, 0x10, 0xAA, 0xBA}));
    EXPECT_EQ(host_->ReadCount(8, Millis(1000)), (Bytes{0xAB, 0xD5, 0x02, 0x03, 0x00, 0x12, 0xAA, 0xBA}));
    EXPECT_EQ(host_->ReadCount(8, Millis(1000)), (Bytes{0xAB, 0xD5, 0x05, 0x06, 0x00, 0x00, 0x55, 0xBA}));
    ExpectOnlyProbeFollows();

    host_->Purge();
    host_->Write(BuildSearchByAddr(0x0203));
    EXPECT_EQ(host_->ReadCount(8, Millis(1000)), (Bytes{0xAB, 0xD6, 0x02, 0x03, 0x00, 0x12, 0xAA, 0xBA}));
    ExpectNoAnswer(BuildSearchByAddr(0x0304));  // lives on 26 / 1 M
    ExpectNoAnswer(BuildSearchByAddr(0x0001));  // the local module itself
}

TEST_F(SimOverPty, FramesAreRelayedOnlyWhenTunedAndTheAddressMatches) {
    const Bytes p2p = host_->Exchange(BuildReadProperty(0x0102, 0, 57), kAnswerLenProperty);
    ASSERT_EQ(p2p.size(), kAnswerLenProperty);
    EXPECT_EQ(Bytes(p2p.begin(), p2p.begin() + 6), (Bytes{0xAB, 0xD2, 0x01, 0x02, 0x00, 0x34}));
    EXPECT_STREQ(RecordOf(p2p).DevName, "P2P-Node-A");

    ExpectNoAnswer(BuildReadProperty(0x0304, 0, 57));  // not tuned to its pair
    ExpectNoAnswer(BuildReadProperty(0x0999, 0, 57));  // nobody has that address
    Tune(26, kAirRate1M);
    EXPECT_EQ(+RecordOf(host_->Exchange(BuildReadProperty(0x0304, 0, 57), kAnswerLenProperty)).LocalAddr, 0x0304);
    ExpectNoAnswer(BuildReadProperty(0x0102, 0, 57));
    // The local module answers on any pair.
    EXPECT_EQ(+RecordOf(host_->Exchange(BuildReadProperty(0x0001, 0, 57), kAnswerLenProperty)).LocalAddr, 0x0001);
}

TEST_F(SimOverPty, WriteThenResetMovesAFarModuleAfterItsRestart) {
    ModuleProperty changed = sim_->Module(kP2p).config.record;
    changed.LocalAddr = 0x0777;
    changed.Channel = 20;
    EXPECT_EQ(host_->Exchange(BuildWriteProperty(0x0102, changed), 6), (Bytes{0xAB, 0xD3, 0x01, 0x02, 0x00, 0xBA}));
    EXPECT_TRUE(sim_->Module(kP2p).pending);
    EXPECT_EQ(sim_->Module(kP2p).config.Address(), 0x0102);  // not before the restart

    host_->Purge();
    const unsigned restarts = sim_->Module(kP2p).restarts;
    host_->Write(BuildResetModule(0x0102, 0x0010));
    // The reset must be read before the next purge, which would drop it.
    ASSERT_TRUE(sim_->WaitForLog(
        [](const std::vector<LogEntry>& log) {
            return std::any_of(log.begin(), log.end(), [](const LogEntry& e) {
                return e.kind == LogKind::Request && e.command == CommandKey{Family::Config, kCmdResetModule};
            });
        },
        Millis(1000)));
    ExpectNoAnswer(BuildReadProperty(0x0102, 0, 57));  // silent while restarting
    WaitUntilRestarted(kP2p, restarts);

    EXPECT_EQ(sim_->Module(kP2p).config.Address(), 0x0777);
    ExpectNoAnswer(BuildReadProperty(0x0777, 0, 57));  // gone to channel 20
    Tune(20, kAirRate250K);
    EXPECT_EQ(+RecordOf(host_->Exchange(BuildReadProperty(0x0777, 0, 57), kAnswerLenProperty)).LocalAddr, 0x0777);
    EXPECT_EQ(host_->Exchange(BuildSearchByAddr(0x0777), 8), (Bytes{0xAB, 0xD6, 0x07, 0x77, 0x00, 0x10, 0xAA, 0xBA}));
}

TEST_F(SimOverPty, FactoryResetTakesEffectOnTheNextRestart) {
    ModuleProperty renamed = sim_->Module(kWorkshopIo).config.record;
    std::strcpy(renamed.DevName, "Renamed");
    ASSERT_EQ(host_->Exchange(BuildWriteProperty(0x0203, renamed), 6)[4], 0);
    ResetAndWait(BuildResetModule(0x0203, 0x12), kWorkshopIo);
    EXPECT_STREQ(sim_->Module(kWorkshopIo).config.record.DevName, "Renamed");

    EXPECT_EQ(host_->Exchange(BuildFactoryReset(0x0203, 0x0012), 8),
              (Bytes{0xAB, 0xDB, 0x02, 0x03, 0x00, 0x12, 0x00, 0xBA}));
    EXPECT_STREQ(sim_->Module(kWorkshopIo).config.record.DevName, "Renamed");
    ResetAndWait(BuildResetModule(0x0203, 0x12), kWorkshopIo);
    const ModuleProperty restored = sim_->Module(kWorkshopIo).config.record;
    const ModuleProperty factory = Scenario::Default().far[1].record;
    EXPECT_EQ(std::memcmp(&restored, &factory, sizeof(ModuleProperty)), 0);
}

TEST_F(SimOverPty, IoLinesLoopBackAndAdValuesAreLive) {
    EXPECT_EQ(host_->Exchange(BuildIoSetDirections(0x0203, 0x0F), 6), (Bytes{0xAA, 0xD4, 0x02, 0x03, 0x00, 0x55}));
    EXPECT_EQ(host_->Exchange(BuildIoSetOutputs(0x0203, 0x06), 6), (Bytes{0xAA, 0xD5, 0x02, 0x03, 0x00, 0x55}));
    EXPECT_EQ(sim_->Module(kWorkshopIo).config.io.directions, 0x0F);
    EXPECT_EQ(host_->Exchange(BuildIoReadInputs(0x0203), 6), (Bytes{0xAA, 0xD6, 0x02, 0x03, 0x06, 0x55}));
    sim_->SetInputs(kWorkshopIo, 0x01);
    EXPECT_EQ(host_->Exchange(BuildIoReadInputs(0x0203), 6)[4], 0x07);

    sim_->SetAd(kWorkshopIo, {1000, 2000, 3000, 0x0102});
    EXPECT_EQ(host_->Exchange(BuildIoReadAd(0x0203), 13),
              (Bytes{0xAA, 0xD7, 0x02, 0x03, 0x03, 0xE8, 0x07, 0xD0, 0x0B, 0xB8, 0x01, 0x02, 0x55}));

    // The local module's values drift from read to read.
    const Bytes first = host_->Exchange(BuildIoReadAd(0x0001), 13);
    ASSERT_EQ(first.size(), 13u);
    bool changed = false;
    for (int i = 0; i < 20 && !changed; ++i) changed = host_->Exchange(BuildIoReadAd(0x0001), 13) != first;
    EXPECT_TRUE(changed);
    ExpectNoAnswer(BuildIoReadInputs(0x0102));  // a point-to-point module has no IO lines
}

TEST_F(SimOverPty, FirmwareUpgradeRunsTheNewImageAfterTheRestart) {
    std::uint8_t data[kFirmwareBlockSize] = {};
    // Not prepared: the module is running its user firmware.
    EXPECT_EQ(host_->Exchange(BuildFirmwareBlock(0x0102, 0x0100, data, FirmwareRegion::Second), 8),
              (Bytes{0xAB, 0xD9, 0x01, 0x02, 0x01, 0x00, 0x01, 0xBA}));

    EXPECT_EQ(host_->Exchange(BuildEnterUpdate(0x0102, 0x0010), 8),
              (Bytes{0xAB, 0xD8, 0x01, 0x02, 0x00, 0x10, 0x00, 0xBA}));
    ResetAndWait(BuildResetModule(0x0102, 0x0010), kP2p);
    EXPECT_EQ(host_->Exchange(BuildSearchByAddr(0x0102), 8), (Bytes{0xAB, 0xD6, 0x01, 0x02, 0x00, 0x00, 0x55, 0xBA}));

    FirmwareBlocks sent;
    auto send = [&](std::uint16_t offset, FirmwareRegion region) {
        for (std::size_t i = 0; i < kFirmwareBlockSize; ++i) data[i] = static_cast<std::uint8_t>(offset + i * 7);
        std::copy(std::begin(data), std::end(data), sent[offset].begin());
        const Bytes ack = host_->Exchange(BuildFirmwareBlock(0x0102, offset, data, region), 8);
        EXPECT_EQ(ack, (Bytes{0xAB, 0xD9, 0x01, 0x02, static_cast<std::uint8_t>(offset >> 8),
                              static_cast<std::uint8_t>(offset & 0xFF), 0x00, 0xBA}));
    };
    // First-region blocks are 71 bytes: the module takes them once the line goes quiet.
    send(0x0100, FirmwareRegion::First);
    send(0x0140, FirmwareRegion::First);
    for (std::uint16_t offset = 0x0800; offset < 0x08C0; offset += 0x40) send(offset, FirmwareRegion::Second);

    EXPECT_EQ(host_->Exchange(BuildFinishUpdate(0x0102, 0x0010), 8),
              (Bytes{0xAB, 0xDA, 0x01, 0x02, 0x00, 0x10, 0x00, 0xBA}));
    ResetAndWait(BuildResetModule(0x0102, 0), kP2p);

    const ModuleState after = sim_->Module(kP2p);
    EXPECT_EQ(after.config.record.RunState, kRunStateUser);
    EXPECT_EQ(+after.config.record.DevType, kDevTypeQrv);
    EXPECT_EQ(+after.config.record.FwVersion, 0x0124);
    EXPECT_EQ(after.installedImage.size(), 5u);
    EXPECT_EQ(ImageDigest(after.installedImage), ImageDigest(sent));
    const Bytes property = host_->Exchange(BuildReadProperty(0x0102, 0, 57), kAnswerLenProperty);
    ASSERT_EQ(property.size(), kAnswerLenProperty);
    EXPECT_EQ(Word(property, 6 + 55), 0x0124);
}

TEST_F(SimOverPty, MalformedAndHalfFramesAreIgnored) {
    host_->Purge();
    host_->Write(Bytes{0x00, 0x13, 0xAB, 0xD1, 0x55, 0xAA, 0xC3, 0x55});
    host_->Write(BuildReadBaseInfo());
    EXPECT_EQ(host_->ReadCount(10, Millis(1000)), LocalInfoAnswer());

    // A frame that stops half-way is given up after a quiet spell.
    host_->Write(Bytes{0xAB, 0xD3, 0x00, 0x01});
    ASSERT_TRUE(sim_->WaitForLog(
        [](const std::vector<LogEntry>& log) {
            return !log.empty() && log.back().kind == LogKind::Discarded && log.back().bytes.size() == 4;
        },
        Millis(2000)));
    EXPECT_EQ(host_->Exchange(BuildReadBaseInfo(), 10), LocalInfoAnswer());
}

class SlowLine : public SimOverPty {
protected:
    void SetUp() override {
        SimulatorOptions o = FastOptions();
        o.baud = 9600;
        StartSim(Scenario::Default(), o);
    }
};

TEST_F(SlowLine, AnswersTakeTheirWireTime) {
    using namespace std::chrono;
    const auto start = steady_clock::now();
    host_->Purge();
    host_->Write(BuildReadProperty(0x0001, 0, 57));
    const Bytes answer = host_->ReadCount(kAnswerLenProperty, Millis(2000));
    const auto lastByte = steady_clock::now();
    ASSERT_EQ(answer.size(), kAnswerLenProperty);
    // The 7-byte request crossed the line before the module could answer,
    // and the answer's 63 bytes took their 10 bits each.
    EXPECT_GE(lastByte - start, WireTime(7 + kAnswerLenProperty, 9600));
}

TEST_F(SlowLine, SearchAnswersArriveAsSeparateBursts) {
    const Millis interval = HostReadInterval(9600);  // 41 ms
    host_->Purge();
    host_->Write(BuildSearchBroadcast());
    for (int addrLow : {0x02, 0x03, 0x06}) {
        const Bytes burst = host_->ReadBurst(Millis(2000), interval);
        ASSERT_EQ(burst.size(), 8u);
        EXPECT_EQ(burst[3], addrLow);
    }
    EXPECT_TRUE(host_->ReadBurst(Millis(300), interval).empty());
}
