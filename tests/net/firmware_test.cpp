// Firmware upgrade against a scripted module: the prepare step and its skip,
// the two block forms and their pauses, the three attempts per block, the
// finish with its restarts, and images refused before a single frame.
#include <sys/stat.h>

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
    std::wstring WriteImage(const ImageLayout& layout) {
        const auto path = dir_.Write("image.bin", ImageBytes(layout));
        return path.wstring();
    }
    Outcome Upgrade(const std::wstring& path, std::uint8_t runState) {
        return dev_.UpdateWithFile(path.c_str(), runState, kAddr, kType, messages_);
    }
    static Bytes Block(std::uint16_t offset, int n, FirmwareRegion region) {
        std::uint8_t data[kFirmwareBlockSize];
        const auto bytes = BlockBytes(n);
        std::copy(bytes.begin(), bytes.end(), data);
        return ToBytes(BuildFirmwareBlock(kAddr, offset, data, region));
    }

    TempDir dir_;
    CapturedUpgrade messages_;
};

TEST_F(Firmware, BootLoaderModuleTakesBlocksWithTheProtocolPauses) {
    // Run state 0x55: no prepare step; the first frame is a block.
    const auto path = WriteImage({0x100, 0x140, 0x200, 0x240, 16});
    fake_.Expect(BlockAck(kAddr, 0x100, 1));  // refused once
    fake_.Expect(BlockAck(kAddr, 0x100));
    fake_.Expect(BlockAck(kAddr, 0x200));
    fake_.Expect(StepAnswer(kCmdFinishUpdate, kAddr, kType));
    EXPECT_TRUE(Upgrade(path, kRunStateBoot).Ok());

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

    // First region: a second per block, and a second before the retry;
    // second region: 10 ms; each closing restart: 400 ms.
    EXPECT_EQ(waits_.pauses, (std::vector<std::uint32_t>{1000, 1000, 1000, 10, 400, 400}));
    // Progress after each acknowledged block, the refused attempt not counted.
    EXPECT_EQ(messages_.progress, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
}

TEST_F(Firmware, FullUpgradePreparesSendsBothRegionsAndFinishes) {
    const auto path = WriteImage({0x100, 0x180, 0x1000, 0x1080, 16});
    fake_.Expect(StepAnswer(kCmdEnterUpdate, kAddr, kType));
    fake_.ExpectSilence();  // the restart into the boot loader
    for (int offset : {0x100, 0x140, 0x1000, 0x1040}) fake_.Expect(BlockAck(kAddr, static_cast<std::uint16_t>(offset)));
    fake_.Expect(StepAnswer(kCmdFinishUpdate, kAddr, kType));
    EXPECT_TRUE(Upgrade(path, kRunStateUser).Ok());

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
    EXPECT_TRUE(Upgrade(path, kRunStateBoot).Ok());
    // The second region's data start right after the header.
    EXPECT_EQ(Frames()[0], Block(0x40, 0, FirmwareRegion::Second));
}

TEST_F(Firmware, ThreeRefusalsEndTheUpgradeWithoutFinishing) {
    const auto path = WriteImage({0, 0, 0x40, 0xC0, 16});
    fake_.Expect(BlockAck(kAddr, 0x40));
    fake_.Expect(BlockAck(kAddr, 0x40));         // echoes the wrong offset
    fake_.Expect(BlockAck(kAddr + 1, 0x80));  // echoes the wrong address
    fake_.ExpectSilence();
    const Outcome ended = Upgrade(path, kRunStateBoot);
    EXPECT_EQ(ended.reason, Reason::NoAnswer);
    EXPECT_NE(ended.detail.find("(block 0x0080, 3 attempts)"), std::string::npos) << ended.detail;
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
    EXPECT_FALSE(Upgrade(path, kRunStateUser).Ok());
    EXPECT_FALSE(Upgrade(path, 0x00).Ok());
    const auto frames = Frames();
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1], ToBytes(BuildEnterUpdate(kAddr, kType)));
}

TEST_F(Firmware, RefusedFinishStillRestartsOnce) {
    const auto path = WriteImage({0, 0, 0, 0x40, 16});
    fake_.Expect(BlockAck(kAddr, 0));
    fake_.Expect(StepAnswer(kCmdFinishUpdate, kAddr, kType, 3));
    EXPECT_FALSE(Upgrade(path, kRunStateBoot).Ok());
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
        EXPECT_EQ(Upgrade(path.wstring(), kRunStateUser).reason, Reason::BadImage) << row.what;
        ASSERT_EQ(messages_.shown.size(), 1u) << row.what;
        EXPECT_EQ(messages_.shown[0].first, row.kind) << row.what;
        EXPECT_EQ(messages_.shown[0].second.rfind(row.textStart, 0), 0u) << row.what << ": "
                                                                         << messages_.shown[0].second;
    }
    EXPECT_TRUE(Frames().empty());
}

// Nothing but a regular file is read: a FIFO without a writer would block
// the open or the read for ever, a device would be read as an image.
TEST_F(Firmware, SpecialFilesAreRefusedAtOnce) {
    const std::string fifo = (dir_.Path() / "fifo.bin").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::pair<std::string, const char*> rows[] = {
        {fifo, "命名管道"}, {dir_.Path().string(), "目录"}, {"/dev/zero", "设备"}};
    for (const auto& [path, kind] : rows) {
        messages_.shown.clear();
        const Outcome refused = Upgrade(std::wstring(path.begin(), path.end()), kRunStateUser);
        EXPECT_EQ(refused.reason, Reason::BadImage) << path;
        EXPECT_NE(refused.detail.find("not a regular file"), std::string::npos) << refused.detail;
        ASSERT_EQ(messages_.shown.size(), 1u) << path;
        EXPECT_EQ(messages_.shown[0].first, Q_MSG_WARNING);
        EXPECT_EQ(messages_.shown[0].second, "固件文件“" + path + "”不是普通文件（是" + kind + "），没有读取");
    }
    EXPECT_TRUE(Frames().empty());
}

TEST_F(Firmware, UnreadableFileIsNamedInTheMessage) {
    // Built by hand: the test runs in the C locale, where the library's own
    // conversion of wide paths cannot be used.
    const std::wstring wide = dir_.Path().wstring() + L"/固件 新.bin";
    const std::string utf8 = dir_.Path().string() + "/固件 新.bin";
    EXPECT_EQ(Upgrade(wide, kRunStateUser).reason, Reason::BadImage);
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].first, Q_MSG_WARNING);
    EXPECT_NE(messages_.shown[0].second.find("“" + utf8 + "”"), std::string::npos) << messages_.shown[0].second;
    EXPECT_TRUE(Frames().empty());
}

TEST_F(Firmware, EmptyOrBlankPathsDoNothing) {
    EXPECT_FALSE(Upgrade(L"", kRunStateUser).Ok());
    EXPECT_FALSE(Upgrade(L" image.bin", kRunStateUser).Ok());
    EXPECT_FALSE(dev_.UpdateWithFile(nullptr, kRunStateUser, kAddr, kType, messages_).Ok());
    EXPECT_TRUE(messages_.shown.empty());
    EXPECT_TRUE(Frames().empty());
}

}  // namespace
}  // namespace qrv::test
