// The image check that runs before any firmware frame is sent: header,
// version, region bounds, the blocks the file must hold, and the texts a
// host shows for a refused file.
#include <gtest/gtest.h>

#include <cerrno>

#include "common/wide_utf8.h"
#include "device/firmware_image.h"
#include "image_file.h"

using namespace qrv::firmware;
using qrv::test::ImageBytes;
using qrv::test::ImageLayout;
using qrv::test::TempDir;

namespace {

LoadResult LoadLayout(const TempDir& dir, const ImageLayout& layout) {
    return LoadImage(dir.Write("image.bin", ImageBytes(layout)).wstring().c_str());
}

}  // namespace

TEST(FirmwareRegions, BlockOffsetsFollowTheHeader) {
    struct Row {
        const char* name;
        Header header;
        std::size_t firstBlocks;
        std::uint16_t firstStart;
        std::size_t secondBlocks;
        std::uint16_t secondStart;
    };
    const Row rows[] = {
        {"first region 0x100..0x180 is two blocks", {0x100, 0x180, 0, 0, 16}, 2, 0x100, 0, 0},
        {"first start 0 skips the first region", {0, 0x400, 0x800, 0x840, 16}, 0, 0, 1, 0x800},
        {"negative first start skips it too", {-64, 0x400, 0x800, 0x840, 16}, 0, 0, 1, 0x800},
        {"a partial last block still counts", {0x100, 0x101, 0x200, 0x241, 16}, 1, 0x100, 2, 0x200},
        {"second region may start at 0", {0, 0, 0, 0x80, 17}, 0, 0, 2, 0},
        {"last block at 0xFFC0 fits", {0, 0, 0xFF80, 0x10000, 16}, 0, 0, 2, 0xFF80},
        {"an empty region's bounds do not matter", {0x100, 0x80, 0x90000, 0x100, 16}, 0, 0, 0, 0},
    };
    for (const auto& row : rows) {
        Region first, second;
        ASSERT_EQ(PlanRegions(row.header, first, second), Fault::None) << row.name;
        EXPECT_EQ(first.blocks, row.firstBlocks) << row.name;
        EXPECT_EQ(second.blocks, row.secondBlocks) << row.name;
        if (row.firstBlocks) {
            EXPECT_EQ(first.start, row.firstStart) << row.name;
        }
        if (row.secondBlocks) {
            EXPECT_EQ(second.start, row.secondStart) << row.name;
        }
    }
}

TEST(FirmwareRegions, OffsetsThatCannotTravelIn16BitsAreRefused) {
    Region first, second;
    // A block at 0x10000 would be sent as 0x0000 and never be acknowledged.
    EXPECT_EQ(PlanRegions({0, 0, 0xFFC0, 0x10001, 16}, first, second), Fault::OffsetTooLarge);
    EXPECT_EQ(PlanRegions({0xFFC0, 0x10040, 0, 0, 16}, first, second), Fault::OffsetTooLarge);
    EXPECT_EQ(PlanRegions({0, 0, -64, 64, 16}, first, second), Fault::OffsetTooLarge);
    // Words near the 32-bit limits must not overflow the block count.
    EXPECT_EQ(PlanRegions({1, INT32_MAX, 0, 0, 16}, first, second), Fault::OffsetTooLarge);
    EXPECT_EQ(PlanRegions({0, 0, INT32_MIN, INT32_MAX, 16}, first, second), Fault::OffsetTooLarge);
}

TEST(FirmwareRegions, VersionBelow16IsRefusedFirst) {
    Region first, second;
    EXPECT_EQ(PlanRegions({0, 0, 0, 0x40, 15}, first, second), Fault::BadVersion);
    EXPECT_EQ(PlanRegions({0, 0, 0, 0x10040, 15}, first, second), Fault::BadVersion);
    EXPECT_EQ(PlanRegions({0, 0, 0, 0x40, -1}, first, second), Fault::BadVersion);
}

TEST(FirmwareHeader, WordsAreLittleEndianAndMissingWordsReadAsZero) {
    const std::uint8_t bytes[] = {0x00, 0x01, 0, 0, 0x80, 0x01, 0, 0, 0x00, 0x02, 0, 0,
                                  0x40, 0x02, 0, 0, 0x10, 0,    0, 0};
    const Header full = ParseHeader(bytes, sizeof bytes);
    EXPECT_EQ(full.firstStart, 0x100);
    EXPECT_EQ(full.firstEnd, 0x180);
    EXPECT_EQ(full.secondStart, 0x200);
    EXPECT_EQ(full.secondEnd, 0x240);
    EXPECT_EQ(full.version, 16);
    const Header cut = ParseHeader(bytes, 19);
    EXPECT_EQ(cut.secondEnd, 0x240);
    EXPECT_EQ(cut.version, 0);
}

TEST(FirmwareImageFile, WholeImageIsReadInRegionOrder) {
    TempDir dir;
    const auto loaded = LoadLayout(dir, {0x100, 0x180, 0x1000, 0x10C0, 16});
    ASSERT_EQ(loaded.fault, Fault::None);
    const Image& image = loaded.image;
    ASSERT_EQ(image.first.blocks, 2u);
    ASSERT_EQ(image.second.blocks, 3u);
    // Blocks are numbered across both regions as they lie in the file.
    EXPECT_EQ(image.Block(image.first, 0)[0], 1);
    EXPECT_EQ(image.Block(image.first, 1)[63], 2);
    EXPECT_EQ(image.Block(image.second, 0)[0], 3);
    EXPECT_EQ(image.Block(image.second, 2)[0], 5);
}

TEST(FirmwareImageFile, TrailingBytesAfterTheNamedBlocksAreAccepted) {
    TempDir dir;
    EXPECT_EQ(LoadLayout(dir, {0, 0, 0, 0x40, 16, 3}).fault, Fault::None);
}

TEST(FirmwareImageFile, RefusedFilesAndTheirMessages) {
    TempDir dir;
    // Wide by hand: the test runs in the C locale.
    const std::string missing = dir.Path().string() + "/固件/none.bin";
    const auto notThere = LoadImage((dir.Path().wstring() + L"/固件/none.bin").c_str());
    EXPECT_EQ(notThere.path, missing);
    EXPECT_EQ(notThere.fault, Fault::CannotOpen);
    EXPECT_EQ(notThere.systemError, ENOENT);
    EXPECT_EQ(FaultMessageKind(notThere.fault), Q_MSG_WARNING);
    const std::string openText = FaultMessage(notThere, missing);
    EXPECT_EQ(openText.rfind("无法打开固件文件“" + missing + "”：", 0), 0u) << openText;

    // Only a regular file is read.
    const auto directory = LoadImage(dir.Path().wstring().c_str());
    EXPECT_EQ(directory.fault, Fault::NotRegularFile);
    EXPECT_EQ(directory.kind, FileKind::Directory);

    auto header = ImageBytes({0, 0, 0, 0x40, 16});
    header.resize(19);
    const auto shortHeader = LoadImage(dir.Write("short.bin", header).wstring().c_str());
    EXPECT_EQ(shortHeader.fault, Fault::BadVersion);
    EXPECT_EQ(FaultMessageKind(shortHeader.fault), Q_MSG_PLAIN);
    EXPECT_EQ(FaultMessage(shortHeader, "x"), "固件版本不对");
    EXPECT_EQ(LoadImage(dir.Write("empty.bin", {}).wstring().c_str()).fault, Fault::BadVersion);
    EXPECT_EQ(LoadLayout(dir, {0, 0, 0, 0x40, 15}).fault, Fault::BadVersion);

    const auto cut = LoadLayout(dir, {0x100, 0x200, 0x400, 0x440, 16, 3});
    EXPECT_EQ(cut.fault, Fault::MissingBlocks);
    EXPECT_EQ(cut.blocksNamed, 5u);
    EXPECT_EQ(cut.blocksFound, 3u);
    EXPECT_EQ(FaultMessageKind(cut.fault), Q_MSG_WARNING);
    EXPECT_EQ(FaultMessage(cut, "a.bin"), "固件文件“a.bin”不完整：文件头需要 5 个数据块，文件中只有 3 个");

    auto partial = ImageBytes({0, 0, 0, 0x80, 16});
    partial.pop_back();  // the last block one byte short
    EXPECT_EQ(LoadImage(dir.Write("partial.bin", partial).wstring().c_str()).fault, Fault::MissingBlocks);

    const auto far = LoadLayout(dir, {0, 0, 0xFFC0, 0x10040, 16});
    EXPECT_EQ(far.fault, Fault::OffsetTooLarge);
    EXPECT_EQ(FaultMessageKind(far.fault), Q_MSG_WARNING);
}

TEST(WidePaths, BecomeUtf8WhateverTheLocale) {
    std::string utf8;
    EXPECT_TRUE(qrv::WideToUtf8(L"/tmp/固件 v2/α.bin", utf8));
    EXPECT_EQ(utf8, "/tmp/固件 v2/α.bin");
    EXPECT_TRUE(qrv::WideToUtf8(L"\U0001F4E6.bin", utf8));
    EXPECT_EQ(utf8, "\xF0\x9F\x93\xA6.bin");
    // A lone surrogate names no character: refused, shown as U+FFFD.
    const wchar_t lone[] = {L'a', static_cast<wchar_t>(0xD800), L'b', 0};
    EXPECT_FALSE(qrv::WideToUtf8(lone, utf8));
    EXPECT_EQ(utf8, "a\xEF\xBF\xBD" "b");
}
