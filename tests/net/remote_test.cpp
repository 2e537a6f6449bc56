// Far-module configuration against a scripted module: index checks and their
// codes, the frames with the entry's address, and where the radio is tuned
// (and where it is deliberately left).
#include <chrono>
#include <cstring>

#include "fake_net.h"
#include "records/module_records.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;
using namespace protocol;

constexpr std::uint16_t kFarAddr = 0x0203;
constexpr std::uint16_t kFarType = kDevTypeVlxIo;
constexpr int kFarChannel = 15;
constexpr int kFarRate = 1;
constexpr std::uint8_t kHomeChannel = 11;
constexpr std::uint8_t kHomeRate = 0;

class Remote : public FakeNetTest {
protected:
    void SetUp() override {
        FakeNetTest::SetUp();
        dev_.CurProperty.Channel = kHomeChannel;
        dev_.CurProperty.AirRate = kHomeRate;
        AddEntry(0x0102, kDevTypeQrv, kRunStateUser, kHomeChannel, kHomeRate);
        AddEntry(kFarAddr, kFarType, kRunStateUser, kFarChannel, kFarRate);
    }
    // Loads entry 1 from `record`; the radio is then left on its pair.
    void LoadFar(const ModuleProperty& record) {
        fake_.Expect(TuneAck());
        fake_.Expect(PropertyAnswer(kFarAddr, record));
        ASSERT_TRUE(dev_.LoadRemoteDevInfo(1).Ok());
    }
    const Bytes tuneFar_ = ToBytes(BuildTuneRadio(kFarChannel, kFarRate));
    const Bytes tuneHome_ = ToBytes(BuildTuneRadio(kHomeChannel, kHomeRate));
};

TEST_F(Remote, BadIndicesSet105AndSendNothing) {
    ModuleProperty record = SampleRecord(1, 11, 0);
    char text[32];
    for (int index : {-1, 2}) {
        const auto check = [&](const Outcome& outcome, const char* what) {
            EXPECT_EQ(outcome.reason, Reason::BadIndex) << what << " " << index;
        };
        check(dev_.LoadRemoteDevInfo(index), "load");
        check(dev_.GetRemoteDevPropertyAll(&record, index), "get all");
        check(dev_.GetRemoteDevProperty(index, 1, text, sizeof text), "get");
        check(dev_.SetRemoteDevProperty(index, 1, "x", 2), "set");
        check(dev_.SubmitRemoteDevInfo(index), "submit");
        check(dev_.ResetRemoteDev(index), "reset");
        check(dev_.ResetRemoteToDefault(index), "factory reset");
        check(dev_.SetRemotePropertyAll(&record, index), "set all");
    }
    EXPECT_TRUE(Frames().empty());
}

TEST_F(Remote, LoadReadsTheEntryAndLeavesTheRadioThere) {
    const ModuleProperty record = SampleRecord(kFarAddr, kFarChannel, kFarRate);
    LoadFar(record);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], tuneFar_);
    EXPECT_EQ(frames[1], ToBytes(BuildReadProperty(kFarAddr, 0, 57)));

    const SearchEntry entry = Entry(1);
    EXPECT_EQ(std::memcmp(&entry.current, &record, sizeof record), 0);
    EXPECT_EQ(std::memcmp(&entry.pending, &record, sizeof record), 0);
    EXPECT_EQ(entry.loaded, 1);
    ::ModuleBase base{};
    ASSERT_TRUE(dev_.GetRemoteDevBase(&base, 1).Ok());
    EXPECT_EQ(+base.NetAddr, kFarAddr);
    EXPECT_EQ(+base.FwVersion, +record.FwVersion);
    EXPECT_EQ(+base.DevType, +record.DevType);
    EXPECT_EQ(base.RunState, record.RunState);
    // The local module's own records are not touched.
    EXPECT_EQ(dev_.Loaded, 0);
    EXPECT_EQ(+dev_.ModuleBase.FwVersion, 0);
}

TEST_F(Remote, LoadWithoutAnAnswerChangesNothingAndRefusedTuningGoesHome) {
    fake_.Expect(TuneAck());
    fake_.ExpectSilence();
    EXPECT_EQ(dev_.LoadRemoteDevInfo(1).reason, Reason::NoAnswer);
    EXPECT_EQ(Entry(1).loaded, 0);

    fake_.Expect(TuneAck(1));
    fake_.Expect(TuneAck());
    EXPECT_FALSE(dev_.LoadRemoteDevInfo(1).Ok());
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[2], tuneFar_);
    EXPECT_EQ(frames[3], tuneHome_);
}

TEST_F(Remote, GetAllReadsOverTheAirEveryTimeAndCopiesWhatever) {
    const ModuleProperty record = SampleRecord(kFarAddr, kFarChannel, kFarRate);
    LoadFar(record);
    fake_.Expect(TuneAck());
    fake_.ExpectSilence();
    ModuleProperty out{};
    // The read fails, yet the caller gets the record as it stands.
    EXPECT_FALSE(dev_.GetRemoteDevPropertyAll(&out, 1).Ok());
    EXPECT_EQ(std::memcmp(&out, &record, sizeof out), 0);
    fake_.Expect(TuneAck());
    fake_.Expect(PropertyAnswer(kFarAddr, record));
    EXPECT_TRUE(dev_.GetRemoteDevPropertyAll(nullptr, 1).Ok());
    EXPECT_EQ(Frames().size(), 6u);
}

TEST_F(Remote, NumberedReadNeedsTheEntryLoaded) {
    char name[16];
    EXPECT_EQ(dev_.GetRemoteDevProperty(1, 1, name, sizeof name).reason, Reason::NotLoaded);

    LoadFar(SampleRecord(kFarAddr, kFarChannel, kFarRate));
    char small[4];
    EXPECT_EQ(dev_.GetRemoteDevProperty(1, 1, small, sizeof small).reason, Reason::TextTooLong);
    EXPECT_EQ(dev_.GetRemoteDevProperty(1, 19, name, sizeof name).reason, Reason::NoSuchProperty);
    EXPECT_EQ(dev_.GetRemoteDevProperty(1, 1, nullptr, 16).reason, Reason::TextTooLong);
    EXPECT_TRUE(dev_.GetRemoteDevProperty(1, 1, name, sizeof name).Ok());
    EXPECT_STREQ(name, "far-node");
    // Entry 0 was never read: only its own flag counts.
    EXPECT_EQ(dev_.GetRemoteDevProperty(0, 1, name, sizeof name).reason, Reason::NotLoaded);
}

TEST_F(Remote, SubmitSendsThePendingRecordAndFollowsTheModule) {
    ModuleProperty moved = SampleRecord(0x0999, 26, 2);
    EXPECT_TRUE(dev_.SetRemotePropertyAll(&moved, 1).Ok());
    EXPECT_FALSE(dev_.SetRemotePropertyAll(nullptr, 1).Ok());
    fake_.Expect(TuneAck());      // to the entry
    fake_.Expect(WriteAck(kFarAddr));
    fake_.Expect(TuneAck());      // the relayed restart: there,
    fake_.ExpectSilence();        // the restart itself,
    fake_.Expect(TuneAck());      // and home
    EXPECT_TRUE(dev_.SubmitRemoteDevInfo(1).Ok());

    // The next operation finds the module at its new place.
    fake_.Expect(TuneAck());
    fake_.Expect(IoWriteAck(kIoCmdSetOutputs, 0x0999));
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.SetIOValue(1, 0x05).Ok());

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 8u);
    EXPECT_EQ(frames[0], tuneFar_);
    EXPECT_EQ(frames[1], ToBytes(BuildWriteProperty(kFarAddr, moved)));
    EXPECT_EQ(frames[2], tuneFar_);
    EXPECT_EQ(frames[3], ToBytes(BuildResetModule(kFarAddr, kFarType)));
    EXPECT_EQ(frames[4], tuneHome_);
    EXPECT_EQ(frames[5], ToBytes(BuildTuneRadio(26, 2)));
    EXPECT_EQ(frames[6], ToBytes(BuildIoSetOutputs(0x0999, 0x05)));
    EXPECT_EQ(frames[7], tuneHome_);

    const SearchEntry entry = Entry(1);
    EXPECT_EQ(+entry.base.NetAddr, 0x0999);
    EXPECT_EQ(std::memcmp(&entry.current, &moved, sizeof moved), 0);
}

TEST_F(Remote, RefusedSubmitSendsNoRestartAndLeavesTheEntry) {
    ModuleProperty moved = SampleRecord(0x0999, 26, 2);
    dev_.SetRemotePropertyAll(&moved, 1);
    fake_.Expect(TuneAck());
    fake_.Expect(WriteAck(kFarAddr, 1));
    EXPECT_EQ(dev_.SubmitRemoteDevInfo(1).reason, Reason::Refused);
    // Left on the entry's pair: no tune home after a refused write.
    EXPECT_EQ(Frames().size(), 2u);
    const SearchEntry entry = Entry(1);
    EXPECT_EQ(+entry.base.NetAddr, kFarAddr);
    EXPECT_EQ(entry.foundChannel, kFarChannel);

    port_.Close();
    EXPECT_EQ(dev_.SubmitRemoteDevInfo(1).reason, Reason::PortNotOpen);
    EXPECT_EQ(dev_.ResetRemoteToDefault(1).reason, Reason::PortNotOpen);
}

TEST_F(Remote, ResetIsBracketedByTuning) {
    fake_.Expect(TuneAck());
    fake_.ExpectSilence();
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.ResetRemoteDev(1).Ok());
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], tuneFar_);
    EXPECT_EQ(frames[1], ToBytes(BuildResetModule(kFarAddr, kFarType)));
    EXPECT_EQ(frames[2], tuneHome_);
}

TEST_F(Remote, FactoryResetClearsLoadedAndComesHome) {
    LoadFar(SampleRecord(kFarAddr, kFarChannel, kFarRate));
    waits_.pauses.clear();
    fake_.Expect(TuneAck());
    fake_.Expect(StepAnswer(kCmdFactoryReset, kFarAddr, kFarType), Delivery().After(50ms));
    fake_.Expect(TuneAck());
    fake_.ExpectSilence();
    fake_.Expect(TuneAck());
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.ResetRemoteToDefault(1).Ok());
    EXPECT_EQ(Entry(1).loaded, 0);

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 8u);
    EXPECT_EQ(frames[2], tuneFar_);
    // Type from the record the load brought (0x12 in the sample).
    EXPECT_EQ(frames[3], ToBytes(BuildFactoryReset(kFarAddr, 0x0012)));
    EXPECT_EQ(frames[4], tuneFar_);
    EXPECT_EQ(frames[5], ToBytes(BuildResetModule(kFarAddr, 0x0012)));
    EXPECT_EQ(frames[6], tuneHome_);
    EXPECT_EQ(frames[7], tuneHome_);
    // Tune there, 1000 ms before the answer is read, the relayed restart
    // (tune, 400 ms, tune home), and home.
    EXPECT_EQ(waits_.pauses, (std::vector<std::uint32_t>{100, 1000, 100, 400, 100, 100}));
}

TEST_F(Remote, RefusedFactoryResetKeepsLoadedAndComesHome) {
    LoadFar(SampleRecord(kFarAddr, kFarChannel, kFarRate));
    fake_.Expect(TuneAck());
    fake_.Expect(StepAnswer(kCmdFactoryReset, kFarAddr, kFarType, 1));
    fake_.Expect(TuneAck());
    EXPECT_FALSE(dev_.ResetRemoteToDefault(1).Ok());
    EXPECT_EQ(Entry(1).loaded, 1);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 5u);
    EXPECT_EQ(frames[4], tuneHome_);
}

}  // namespace
}  // namespace qrv::test
