// IO lines and AD values against a scripted module, local (index -1) and
// relayed: acceptance of each answer, caller buffers left alone on a refusal,
// and the tuning around every relayed exchange.
#include <cstring>

#include "fake_net.h"
#include "records/module_records.h"

namespace qrv::test {
namespace {

using namespace protocol;

constexpr int kLocal = -1;
constexpr std::uint16_t kIoFarAddr = 0x0305;

class WirelessIo : public FakeNetTest {
protected:
    void SetUp() override {
        FakeNetTest::SetUp();
        dev_.CurProperty.Channel = 11;
        dev_.CurProperty.AirRate = 0;
        AddEntry(kIoFarAddr, kDevTypeVlxIo, kRunStateUser, 15, 1);
    }
    const Bytes tuneFar_ = ToBytes(BuildTuneRadio(15, 1));
    const Bytes tuneHome_ = ToBytes(BuildTuneRadio(11, 0));
    const std::vector<std::uint8_t> ad_ = {0x0C, 0xE4, 0x00, 0x00, 0x01, 0xF4, 0x0F, 0xFF};
};

TEST_F(WirelessIo, LocalFramesUseTheLocalAddressAndNeedNoTuning) {
    dev_.ModuleBase.NetAddr = 0x0042;
    fake_.Expect(IoWriteAck(kIoCmdSetDirections, 0x0042, 0x7E));  // status ignored locally
    fake_.Expect(IoWriteAck(kIoCmdSetOutputs, 0x0042));
    fake_.Expect(IoInputsAnswer(0x0042, 0x0B));
    fake_.Expect(AdAnswer(0x0042, ad_));
    EXPECT_TRUE(dev_.SetIODirAll(kLocal, 0xFF).Ok());
    EXPECT_TRUE(dev_.SetIOValue(kLocal, 0xA5).Ok());
    std::uint8_t lines = 0;
    EXPECT_TRUE(dev_.GetIOValue(kLocal, &lines).Ok());
    EXPECT_EQ(lines, 0x0B);
    std::uint8_t values[8] = {};
    EXPECT_TRUE(dev_.GetADValue(kLocal, values).Ok());
    EXPECT_EQ(std::vector<std::uint8_t>(values, values + 8), ad_);

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 4u);
    // Bytes go out unmasked.
    EXPECT_EQ(frames[0], ToBytes(BuildIoSetDirections(0x0042, 0xFF)));
    EXPECT_EQ(frames[1], ToBytes(BuildIoSetOutputs(0x0042, 0xA5)));
    EXPECT_EQ(frames[2], ToBytes(BuildIoReadInputs(0x0042)));
    EXPECT_EQ(frames[3], ToBytes(BuildIoReadAd(0x0042)));
}

TEST_F(WirelessIo, BeforeAnyLoadTheLocalModuleIsAddressZero) {
    fake_.Expect(IoInputsAnswer(0, 1));
    std::uint8_t lines = 0;
    EXPECT_TRUE(dev_.GetIOValue(kLocal, &lines).Ok());
    EXPECT_EQ(Frames()[0], ToBytes(BuildIoReadInputs(0)));
}

TEST_F(WirelessIo, RelayedExchangesAreBracketedByTuning) {
    fake_.Expect(TuneAck());
    fake_.Expect(IoWriteAck(kIoCmdSetDirections, kIoFarAddr));
    fake_.Expect(TuneAck());
    fake_.Expect(TuneAck());
    fake_.Expect(AdAnswer(kIoFarAddr, ad_));
    fake_.Expect(TuneAck());
    EXPECT_TRUE(dev_.SetIODirAll(0, 0x03).Ok());
    std::uint8_t values[8] = {};
    EXPECT_TRUE(dev_.GetADValue(0, values).Ok());
    EXPECT_EQ(std::vector<std::uint8_t>(values, values + 8), ad_);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames[0], tuneFar_);
    EXPECT_EQ(frames[1], ToBytes(BuildIoSetDirections(kIoFarAddr, 0x03)));
    EXPECT_EQ(frames[2], tuneHome_);
    EXPECT_EQ(frames[4], ToBytes(BuildIoReadAd(kIoFarAddr)));
    EXPECT_EQ(frames[5], tuneHome_);
}

TEST_F(WirelessIo, StatusBytesRefuseWhereTheyCount) {
    fake_.Expect(TuneAck());
    fake_.Expect(IoWriteAck(kIoCmdSetDirections, kIoFarAddr, 1));
    fake_.Expect(TuneAck());
    fake_.Expect(IoWriteAck(kIoCmdSetOutputs, 0, 1));
    EXPECT_FALSE(dev_.SetIODirAll(0, 0x03).Ok());
    EXPECT_FALSE(dev_.SetIOValue(kLocal, 0x01).Ok());
    EXPECT_EQ(Frames().size(), 4u);
}

TEST_F(WirelessIo, MalformedAnswersLeaveTheCallersBytesAlone) {
    Bytes badEnd = IoInputsAnswer(0, 0x0F);
    badEnd[5] = 0xBA;
    Bytes badStart = IoInputsAnswer(0, 0x0F);
    badStart[0] = 0xAB;
    Bytes longer = IoInputsAnswer(0, 0x0F);
    longer.push_back(0x55);
    Bytes shortAd = AdAnswer(0, ad_);
    shortAd.pop_back();
    Bytes longAd = AdAnswer(0, ad_);
    longAd.push_back(0x00);
    for (const Bytes& answer : {badEnd, badStart, longer}) fake_.Expect(answer);
    fake_.Expect(shortAd);
    fake_.Expect(longAd);

    std::uint8_t lines = 0x77;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(dev_.GetIOValue(kLocal, &lines).Ok()) << i;
    EXPECT_EQ(lines, 0x77);
    std::uint8_t values[8];
    std::memset(values, 0x77, sizeof values);
    EXPECT_FALSE(dev_.GetADValue(kLocal, values).Ok());
    EXPECT_FALSE(dev_.GetADValue(kLocal, values).Ok());
    for (std::uint8_t value : values) EXPECT_EQ(value, 0x77);
    EXPECT_EQ(Frames().size(), 5u);
}

TEST_F(WirelessIo, ShortRelayedAdAnswerStillTunesHome) {
    Bytes shortAd = AdAnswer(kIoFarAddr, ad_);
    shortAd.pop_back();
    fake_.Expect(TuneAck());
    fake_.Expect(shortAd);
    fake_.Expect(TuneAck());
    std::uint8_t values[8];
    std::memset(values, 0x77, sizeof values);
    EXPECT_FALSE(dev_.GetADValue(0, values).Ok());
    for (std::uint8_t value : values) EXPECT_EQ(value, 0x77);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[2], tuneHome_);
}

TEST_F(WirelessIo, BadIndicesAndNullBuffersSendNothing) {
    std::uint8_t byte = 0;
    std::uint8_t values[8];
    for (int index : {1, 5, -2}) {
        EXPECT_FALSE(dev_.SetIODirAll(index, 1).Ok());
        EXPECT_FALSE(dev_.SetIOValue(index, 1).Ok());
        EXPECT_FALSE(dev_.GetIOValue(index, &byte).Ok());
        EXPECT_FALSE(dev_.GetADValue(index, values).Ok());
    }
    EXPECT_FALSE(dev_.GetIOValue(kLocal, nullptr).Ok());
    EXPECT_FALSE(dev_.GetADValue(0, nullptr).Ok());
    EXPECT_TRUE(Frames().empty());

    port_.Close();
    EXPECT_FALSE(dev_.GetIOValue(kLocal, &byte).Ok());
    EXPECT_FALSE(dev_.GetADValue(0, values).Ok());
}

}  // namespace
}  // namespace qrv::test
