#include "client/firmware_file.h"

#include <algorithm>
#include <cstdint>

#include "text/user_file.h"

#include "client/file_path.h"

namespace qrv::client {

namespace {

constexpr std::size_t kHeaderSize = 20;  // five little-endian 32-bit words
constexpr std::size_t kBlockSize = 64;
constexpr std::int64_t kMinVersion = 16;
constexpr std::int64_t kOffsetLimit = 65536;  // block offsets travel in 16 bits
constexpr std::size_t kLargestImage = kHeaderSize + 2 * static_cast<std::size_t>(kOffsetLimit);
constexpr std::chrono::milliseconds kFirstBlockPause{1000}, kSecondBlockPause{10}, kRestartPause{400};

std::int64_t Word(const unsigned char* p) {
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                                     std::uint32_t(p[3]) << 24);
}

// Blocks from `start` while below `end`; false when one would pass 0xFFFF.
bool CountBlocks(std::int64_t start, std::int64_t end, std::size_t& blocks) {
    blocks = 0;
    if (start < 0) return false;
    for (std::int64_t offset = start; offset < end; offset += kBlockSize, ++blocks)
        if (offset + static_cast<std::int64_t>(kBlockSize) > kOffsetLimit) return false;
    return true;
}

}  // namespace

Status CheckFirmwareFile(const std::string& path, FirmwareFile& out) {
    // As the SDK reads it: a regular file only, never more than the largest
    // image two 16-bit-offset regions can name.
    std::string bytes, problem;
    if (!text::ReadUserFileStart(path, kLargestImage, bytes, problem)) return Status::Fail(Outcome::File, problem);
    const std::size_t size = bytes.size();
    if (size < kHeaderSize) return Status::Fail(Outcome::File, path + ": too short for a firmware image");
    const auto* header = reinterpret_cast<const unsigned char*>(bytes.data());
    FirmwareFile image;
    image.version = static_cast<int>(Word(header + 16));
    if (image.version < kMinVersion)
        return Status::Fail(Outcome::File, path + ": image version " + std::to_string(image.version) + " (at least 16 expected)");
    const std::int64_t firstStart = Word(header), firstEnd = Word(header + 4);
    // The first region exists only when it starts above 0.
    if (firstStart > 0 && !CountBlocks(firstStart, firstEnd, image.firstBlocks))
        return Status::Fail(Outcome::File, path + ": the first region runs past offset 0xFFFF");
    if (!CountBlocks(Word(header + 8), Word(header + 12), image.secondBlocks))
        return Status::Fail(Outcome::File, path + ": the second region runs past offset 0xFFFF");
    const std::size_t held = (size - kHeaderSize) / kBlockSize;
    if (held < image.Blocks())
        return Status::Fail(Outcome::File, path + ": the header names " + std::to_string(image.Blocks()) +
                                               " blocks, the file holds " + std::to_string(held));
    out = image;
    return {};
}

std::chrono::milliseconds UpgradeFloor(const FirmwareFile& image, bool prepareFirst) {
    return kFirstBlockPause * static_cast<long>(image.firstBlocks) +
           kSecondBlockPause * static_cast<long>(image.secondBlocks) + kRestartPause * (prepareFirst ? 3 : 2);
}

std::chrono::milliseconds UpgradeTimeLeft(const FirmwareFile& image, bool prepareFirst, std::size_t done,
                                          std::chrono::milliseconds atDone, std::chrono::milliseconds sinceDone) {
    using std::chrono::milliseconds;
    done = std::min(done, image.Blocks());
    const std::size_t firstLeft = image.firstBlocks - std::min(done, image.firstBlocks);
    const std::size_t secondLeft = image.Blocks() - done - firstLeft;
    const milliseconds pausesLeft = kFirstBlockPause * static_cast<long>(firstLeft) +
                                    kSecondBlockPause * static_cast<long>(secondLeft) + kRestartPause * 2;
    const milliseconds pausesDone = UpgradeFloor(image, prepareFirst) - pausesLeft;
    // Before the first block there is no pace to go by.
    milliseconds estimate = pausesLeft + (prepareFirst && done == 0 ? kRestartPause : milliseconds(0));
    if (done > 0 && atDone > pausesDone) estimate = milliseconds(pausesLeft.count() * atDone.count() / pausesDone.count());
    return std::max(milliseconds(0), estimate - sinceDone);
}

}  // namespace qrv::client
