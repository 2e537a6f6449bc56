// Firmware upgrade against a scripted module: the prepare step and its skip,
// the two block forms and their pauses, the three attempts per block, the
// finish with its restarts, and images refused before a single frame.
#include <chrono>
#include <string>

#include "fake_net.h"
#include "image_file.h"
#include "records/module_records.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;
using namespace protocol;

constexpr std::uint16_t kAddr = 0x0102;
constexpr std::uint16_t kType = kDevTypeQrv;

class Firmware : public FakeNetTest {
protected:
    void SetUp() override {
        FakeNetTest::SetUp();
        dev_.Messages.handler = &CapturedMessages::Handler;
        dev_.Messages.user = &messages_;
    }
    std::wstring WriteImage(const ImageLayout& layout) {
        const auto path = dir_.Write("image.bin", ImageBytes(layout));
        return path.wstring();
    }
    int Upgrade(const std::wstring& path, std::uint8_t runState) {
        return dev_.UpdateWithFile(path.c_str(), runState, kAddr, kType);
    }
    static Bytes Block(std::uint16_t offset, int n, FirmwareRegion region) {
        std::uint8_t data[kFirmwareBlockSize];
        const auto bytes = BlockBytes(n);
        std::copy(bytes.begin(), bytes.end(), data);
        return ToBytes(BuildFirmwareBlock(kAddr, offset, data, region));
    }

    TempDir dir_;
    CapturedMessages messages_;
};

TEST_F(Firmware, BootLoaderModuleTakesBlocksWithTheProtocolPauses) {
    dev_.Waits.scale = 1.0;
    // Run state 0x55: no prepare step; the first frame is a block.
    const auto path = WriteImage({0x100, 0x140, 0x200, 0x240, 16});
    fake_.Expect(BlockAck(kAddr, 0x100, 1));  // refused once
    fake_.Expect(BlockAck(kAddr, 0x100));
    fake_.Expect(BlockAck(kAddr, 0x200));
    fake_.Expect(StepAnswer(kCmdFinishUpdate, kAddr, kType));
    EXPECT_EQ(Upgrade(path, kRunStateBoot), 1);

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 6u);
    const Bytes first = Block(0x100, 0, FirmwareRegion::First);
    EXPECT_EQ(first.size(), 71u);
    EXPECT_EQ(frames[0], first);
    EXPECT_EQ(frames[1], first);
    const Bytes second = Block(0x200, 1, FirmwareRegion::Second);
    EXPECT_EQ(second.size(), 72u);
    EXPECT_EQ(frames[2], second);
    EXPECT_EQ(frames[3], ToBytes(BuildFinishUpdate(kAddr, kType)));
    // Both closing restarts carry device type 0.
    EXPECT_EQ(frames[4], ToBytes(BuildResetModule(kAddr, 0)));
    EXPECT_EQ(frames[5], ToBytes(BuildResetModule(kAddr, 0)));

    const auto requests = fake_.Requests();
    const auto span = [&](std::size_t from) { return requests[from + 1].time - requests[from].time; };
    constexpr auto kEarly = 10ms;  // the fake stamps a request a little after it was written
    EXPECT_GE(span(0), 1000ms + 1000ms - kEarly);  // block pause, then the pause before a retry
    EXPECT_GE(span(1), 1000ms - kEarly);           // first region: a second per block
    EXPECT_LT(span(1), 1900ms);                    // and no retry pause after an accepted block
    EXPECT_GE(span(2), 10ms - kEarly);
    EXPECT_GE(span(4), 400ms - kEarly);
}

TEST_F(Firmware, FullUpgradePreparesSendsBothRegionsAndFinishes) {
    const auto path = WriteImage({0x100, 0x180, 0x1000, 0x1080, 16});
    fake_.Expect(StepAnswer(kCmdEnterUpdate, kAddr, kType));
    fake_.ExpectSilence();  // the restart into the boot loader
    for (int offset : {0x100, 0x140, 0x1000, 0x1040}) fake_.Expect(BlockAck(kAddr, static_cast<std::uint16_t>(offset)));
    fake_.Expect(StepAnswer(kCmdFinishUpdate, kAddr, kType));
    EXPECT_EQ(Upgrade(path, kRunStateUser), 1);

    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 9u);
    EXPECT_EQ(frames[0], ToBytes(BuildEnterUpdate(kAddr, kType)));
    EXPECT_EQ(frames[1], ToBytes(BuildResetModule(kAddr, kType)));
    EXPECT_EQ(frames[2], Block(0x100, 0, FirmwareRegion::First));
    EXPECT_EQ(frames[3], Block(0x140, 1, FirmwareRegion::First));
    EXPECT_EQ(frames[4], Block(0x1000, 2, FirmwareRegion::Second));
    EXPECT_EQ(frames[5], Block(0x1040, 3, FirmwareRegion::Second));
    EXPECT_EQ(frames[6], ToBytes(BuildFinishUpdate(kAddr, kType)));
    EXPECT_EQ(frames[7], ToBytes(BuildResetModule(kAddr, 0)));
    EXPECT_EQ(frames[8], ToBytes(BuildResetModule(kAddr, 0)));
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(Firmware, FirstStartZeroSkipsTheFirstRegion) {
    const auto path = WriteImage({0, 0x400, 0x40, 0x80, 16});
    fake_.Expect(BlockAck(kAddr, 0x40));
    fake_.Expect(StepAnswer(kCmdFinishUpdate, kAddr, kType));
    EXPECT_EQ(Upgrade(path, kRunStateBoot), 1);
    // The second region's data start right after the header.
    EXPECT_EQ(Frames()[0], Block(0x40, 0, FirmwareRegion::Second));
}

TEST_F(Firmware, ThreeRefusalsEndTheUpgradeWithoutFinishing) {
    const auto path = WriteImage({0, 0, 0x40, 0xC0, 16});
    fake_.Expect(BlockAck(kAddr, 0x40));
    fake_.Expect(BlockAck(kAddr, 0x40));         // echoes the wrong offset
    fake_.Expect(BlockAck(kAddr + 1, 0x80));  // echoes the wrong address
    fake_.ExpectSilence();
    EXPECT_EQ(Upgrade(path, kRunStateBoot), 0);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 4u);
    const Bytes second = Block(0x80, 1, FirmwareRegion::Second);
    for (std::size_t i = 1; i < 4; ++i) EXPECT_EQ(frames[i], second) << i;
}

TEST_F(Firmware, RefusedPrepareSendsNoBlock) {
    const auto path = WriteImage({0, 0, 0, 0x40, 16});
    Bytes wrongLength = StepAnswer(kCmdEnterUpdate, kAddr, kType);
    wrongLength.push_back(0xBA);
    fake_.Expect(wrongLength);
    fake_.Expect(StepAnswer(kCmdEnterUpdate, kAddr, kType, 1));
    EXPECT_EQ(Upgrade(path, kRunStateUser), 0);
    EXPECT_EQ(Upgrade(path, 0x00), 0);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], ToBytes(BuildEnterUpdate(kAddr, kType)));
}

TEST_F(Firmware, RefusedFinishStillRestartsOnce) {
    const auto path = WriteImage({0, 0, 0, 0x40, 16});
    fake_.Expect(BlockAck(kAddr, 0));
    fake_.Expect(StepAnswer(kCmdFinishUpdate, kAddr, kType, 3));
    EXPECT_EQ(Upgrade(path, kRunStateBoot), 0);
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[2], ToBytes(BuildResetModule(kAddr, 0)));
}

TEST_F(Firmware, BadImagesAreRefusedBeforeAnyFrame) {
    struct Row {
        const char* what;
        std::vector<std::uint8_t> bytes;
        int kind;
        std::string textStart;
    };
    auto shortHeader = ImageBytes({0, 0, 0, 0x40, 16});
    shortHeader.resize(12);
    const std::vector<Row> rows = {
        {"version 15", ImageBytes({0, 0, 0, 0x40, 15}), Q_MSG_PLAIN, "固件版本不对"},
        {"header cut short", shortHeader, Q_MSG_PLAIN, "固件版本不对"},
        {"blocks missing", ImageBytes({0x100, 0x200, 0, 0x40, 16, 4}), Q_MSG_WARNING, "固件文件“"},
        {"offset past 16 bits", ImageBytes({0, 0, 0xFFC0, 0x10040, 16}), Q_MSG_WARNING, "固件文件“"},
    };
    for (const auto& row : rows) {
        messages_.shown.clear();
        const auto path = dir_.Write("bad.bin", row.bytes);
        // Not in its boot loader: an accepted image would start with 0xD8.
        EXPECT_EQ(Upgrade(path.wstring(), kRunStateUser), 0) << row.what;
        ASSERT_EQ(messages_.shown.size(), 1u) << row.what;
        EXPECT_EQ(messages_.shown[0].first, row.kind) << row.what;
        EXPECT_EQ(messages_.shown[0].second.rfind(row.textStart, 0), 0u) << row.what << ": "
                                                                         << messages_.shown[0].second;
    }
    EXPECT_TRUE(Frames().empty());
}

TEST_F(Firmware, UnreadableFileIsNamedInTheMessage) {
    // Built by hand: the test runs in the C locale, where the library's own
    // conversion of wide paths cannot be used.
    const std::wstring wide = dir_.Path().wstring() + L"/固件 新.bin";
    const std::string utf8 = dir_.Path().string() + "/固件 新.bin";
    EXPECT_EQ(Upgrade(wide, kRunStateUser), 0);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].first, Q_MSG_WARNING);
    EXPECT_NE(messages_.shown[0].second.find("“" + utf8 + "”"), std::string::npos) << messages_.shown[0].second;
    EXPECT_TRUE(Frames().empty());
}

TEST_F(Firmware, EmptyOrBlankPathsDoNothing) {
    EXPECT_EQ(dev_.UpdateWithFile(L"", kRunStateUser, kAddr, kType), 0);
    EXPECT_EQ(dev_.UpdateWithFile(L" image.bin", kRunStateUser, kAddr, kType), 0);
    EXPECT_EQ(dev_.UpdateWithFile(nullptr, kRunStateUser, kAddr, kType), 0);
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(Frames().empty());
}

}  // namespace
}  // namespace qrv::test
