// Lazy tuning: the far roads at their fewest frames. A far module on the
// local pair is reached with no tuning at all; one elsewhere costs a tuning
// there and one home; what the device no longer knows, it tunes again.
#include <functional>

#include "fake_net.h"
#include "sim/answer_builder.h"

namespace qrv::test {
namespace {

using namespace protocol;

constexpr std::uint16_t kLazyLocalAddr = 0x0001;
constexpr std::uint16_t kLazyFarAddr = 0x0102;
constexpr std::uint16_t kLazyFarType = kDevTypeQrv;
constexpr std::uint8_t kLazyHomeChannel = 11, kLazyHomeRate = 0;
constexpr std::uint8_t kLazyAwayChannel = 26, kLazyAwayRate = 2;

class LazyTuning : public FakeNetTest {
protected:
    void SetUp() override {
        FakeNetTest::SetUp();
        dev_.LazyTuning = true;
    }
    // Reads the local module: its radio is then taken to be on its own pair.
    void ReadLocal() {
        ::ModuleBase base{kLazyLocalAddr, kDevTypeVlxIo, kRunStateUser, 0x0205};
        fake_.Expect(sim::BuildBaseInfoAnswer(base));
        fake_.Expect(PropertyAnswer(kLazyLocalAddr, local_));
        ASSERT_TRUE(dev_.LoadInfo().Ok());
    }
    const ModuleProperty local_ = SampleRecord(kLazyLocalAddr, kLazyHomeChannel, kLazyHomeRate);
    const ModuleProperty far_ = SampleRecord(kLazyFarAddr, kLazyHomeChannel, kLazyHomeRate);
    const Bytes tuneHome_ = ToBytes(BuildTuneRadio(kLazyHomeChannel, kLazyHomeRate));
    const Bytes tuneAway_ = ToBytes(BuildTuneRadio(kLazyAwayChannel, kLazyAwayRate));
};

TEST_F(LazyTuning, FarModuleOnTheLocalPairIsReachedWithoutTuning) {
    ReadLocal();
    // qrvctl remote 0x0102 set: find, read, write and restart, read back.
    fake_.Expect(SearchAnswer(kCmdSearchByAddr, kLazyFarAddr, kLazyFarType, kRunStateUser));
    ASSERT_TRUE(dev_.SearchDevByAddr(kLazyHomeChannel, kLazyHomeRate, kLazyFarAddr).Ok());
    fake_.Expect(PropertyAnswer(kLazyFarAddr, far_));
    ASSERT_TRUE(dev_.LoadRemoteDevInfo(0).Ok());
    fake_.Expect(WriteAck(kLazyFarAddr));
    fake_.ExpectSilence();
    ASSERT_TRUE(dev_.SubmitRemoteDevInfo(0).Ok());
    fake_.Expect(PropertyAnswer(kLazyFarAddr, far_));
    ASSERT_TRUE(dev_.LoadRemoteDevInfo(0).Ok());
    EXPECT_TRUE(dev_.ReturnHome().Ok());

    const std::vector<Bytes> expected{
        {0xAB, 0xD1, 0xBA},
        {0xAB, 0xD2, 0x00, 0x01, 0x00, 0x34, 0xBA},
        {0xAB, 0xD6, 0x01, 0x02, 0xBA},
        {0xAB, 0xD2, 0x01, 0x02, 0x00, 0x34, 0xBA},
        ToBytes(BuildWriteProperty(kLazyFarAddr, far_)),
        // Type from the record the read brought (0x12 in the sample).
        {0xAB, 0xD7, 0x01, 0x02, 0x00, 0x12, 0xBA},
        {0xAB, 0xD2, 0x01, 0x02, 0x00, 0x34, 0xBA},
    };
    EXPECT_EQ(Frames(), expected);
    EXPECT_EQ(waits_.pauses, (std::vector<std::uint32_t>{100, 100, 10, 100, 400, 100}));
}

TEST_F(LazyTuning, FarModuleElsewhereCostsOneTuningThereAndOneHome) {
    ReadLocal();
    AddEntry(kLazyFarAddr, kLazyFarType, kRunStateUser, kLazyAwayChannel, kLazyAwayRate);
    fake_.Expect(TuneAck());
    fake_.Expect(PropertyAnswer(kLazyFarAddr, far_));
    ASSERT_TRUE(dev_.LoadRemoteDevInfo(0).Ok());
    // Already there: the IO request goes at once, then home.
    fake_.Expect(IoInputsAnswer(kLazyFarAddr, 0x05));
    fake_.Expect(TuneAck());
    std::uint8_t lines = 0;
    ASSERT_TRUE(dev_.GetIOValue(0, &lines).Ok());
    EXPECT_TRUE(dev_.ReturnHome().Ok());

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[2], tuneAway_);
    EXPECT_EQ(frames[4], ToBytes(BuildIoReadInputs(kLazyFarAddr)));
    EXPECT_EQ(frames[5], tuneHome_);
}

// Each of these leaves the radio where the device cannot be sure of it: the
// next far operation on the local pair tunes first.
TEST_F(LazyTuning, WhatTheDeviceNoLongerKnowsItTunesAgain) {
    const struct {
        const char* what;
        std::function<void()> forget;
    } cases[] = {
        {"refused tuning",
         [this] {
             fake_.Expect(TuneAck(1));
             EXPECT_FALSE(dev_.TuneChannel(kLazyAwayChannel, kLazyAwayRate).Ok());
         }},
        {"local restart",
         [this] {
             fake_.ExpectSilence();
             EXPECT_TRUE(dev_.ResetDev().Ok());
         }},
        {"port reopened", [this] { dev_.ForgetRadio(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dev_.Found.Clear();
        AddEntry(kLazyFarAddr, kLazyFarType, kRunStateUser, kLazyHomeChannel, kLazyHomeRate);
        ReadLocal();
        c.forget();
        const std::size_t before = Frames().size();
        fake_.Expect(TuneAck());
        fake_.ExpectSilence();
        EXPECT_TRUE(dev_.ResetRemoteDev(0).Ok());
        const auto frames = Frames();
        ASSERT_EQ(frames.size(), before + 2);
        EXPECT_EQ(frames[before], tuneHome_);
    }
}

TEST_F(LazyTuning, ReturnHomeNeedsTheLocalRecordAndOffItAlwaysTunes) {
    EXPECT_EQ(dev_.ReturnHome().reason, Reason::NotLoaded);
    EXPECT_TRUE(Frames().empty());
    ReadLocal();
    dev_.LazyTuning = false;
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.ReturnHome().Ok());
    EXPECT_EQ(Frames().back(), tuneHome_);
}

}  // namespace
}  // namespace qrv::test
