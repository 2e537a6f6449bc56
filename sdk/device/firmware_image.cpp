#include "device/firmware_image.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "qrvlink/qrvlink.h"

namespace qrv::firmware {

namespace {

constexpr std::size_t kBlockSize = protocol::kFirmwareBlockSize;

std::int32_t ReadLittleEndian32(const std::uint8_t* bytes) {
    const std::uint32_t value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 |
                                std::uint32_t{bytes[2]} << 16 | std::uint32_t{bytes[3]} << 24;
    return static_cast<std::int32_t>(value);
}

// Blocks at start, start + 64, ... while below end.
std::int64_t BlockCount(std::int64_t start, std::int64_t end) {
    if (start >= end) return 0;
    return (end - start + static_cast<std::int64_t>(kBlockSize) - 1) / static_cast<std::int64_t>(kBlockSize);
}

// Every block's offset must fit the frame's 16 bits, or its echo can never
// match and the module would be left half-written in its boot loader.
bool FitsOffsets(std::int64_t start, std::int64_t count) {
    if (count == 0) return true;
    const std::int64_t last = start + (count - 1) * static_cast<std::int64_t>(kBlockSize);
    return start >= 0 && last < kOffsetLimit;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::string SystemText(int error) { return std::error_code(error, std::generic_category()).message(); }

}  // namespace

const std::uint8_t* Image::Block(const Region& region, std::size_t n) const {
    const std::size_t index = region.kind == protocol::FirmwareRegion::First ? n : first.blocks + n;
    return blocks.data() + index * kBlockSize;
}

Header ParseHeader(const std::uint8_t* bytes, std::size_t size) {
    std::int32_t words[5] = {};
    for (std::size_t i = 0; i < 5 && (i + 1) * 4 <= size; ++i) words[i] = ReadLittleEndian32(bytes + i * 4);
    return Header{words[0], words[1], words[2], words[3], words[4]};
}

Fault PlanRegions(const Header& header, Region& first, Region& second) {
    if (header.version < kMinImageVersion) return Fault::BadVersion;
    // The first region exists only when it starts above 0.
    const std::int64_t firstCount = header.firstStart > 0 ? BlockCount(header.firstStart, header.firstEnd) : 0;
    const std::int64_t secondCount = BlockCount(header.secondStart, header.secondEnd);
    if (!FitsOffsets(header.firstStart, firstCount) || !FitsOffsets(header.secondStart, secondCount))
        return Fault::OffsetTooLarge;
    first = Region{protocol::FirmwareRegion::First, static_cast<std::uint16_t>(firstCount ? header.firstStart : 0),
                   static_cast<std::size_t>(firstCount)};
    second = Region{protocol::FirmwareRegion::Second,
                    static_cast<std::uint16_t>(secondCount ? header.secondStart : 0),
                    static_cast<std::size_t>(secondCount)};
    return Fault::None;
}

LoadResult LoadImage(const std::string& utf8Path) {
    LoadResult result;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(utf8Path.c_str(), "rb"));
    if (!file) {
        result.fault = Fault::CannotOpen;
        result.systemError = errno;
        return result;
    }
    std::uint8_t headerBytes[kHeaderSize];
    const std::size_t headerRead = std::fread(headerBytes, 1, kHeaderSize, file.get());
    if (std::ferror(file.get())) {
        result.fault = Fault::CannotRead;
        result.systemError = errno;
        return result;
    }
    // A header cut short names no version worth trusting.
    result.image.header = ParseHeader(headerBytes, headerRead);
    if (headerRead < kHeaderSize) {
        result.fault = Fault::BadVersion;
        return result;
    }
    Image& image = result.image;
    result.fault = PlanRegions(image.header, image.first, image.second);
    if (result.fault != Fault::None) return result;

    // Offsets below 65536 bound this to 2048 blocks; trailing bytes past the
    // named blocks are not read.
    result.blocksNamed = image.first.blocks + image.second.blocks;
    image.blocks.resize(result.blocksNamed * kBlockSize);
    const std::size_t dataRead = std::fread(image.blocks.data(), 1, image.blocks.size(), file.get());
    if (std::ferror(file.get())) {
        result.fault = Fault::CannotRead;
        result.systemError = errno;
        return result;
    }
    if (dataRead < image.blocks.size()) {
        result.fault = Fault::MissingBlocks;
        result.blocksFound = dataRead / kBlockSize;
    }
    return result;
}

int FaultMessageKind(Fault fault) { return fault == Fault::BadVersion ? Q_MSG_PLAIN : Q_MSG_WARNING; }

std::string FaultMessage(const LoadResult& result, const std::string& utf8Path) {
    const std::string quoted = "“" + utf8Path + "”";
    switch (result.fault) {
        case Fault::None:
            return {};
        case Fault::BadVersion:
            return "固件版本不对";
        case Fault::CannotOpen:
            return "无法打开固件文件" + quoted + "：" + SystemText(result.systemError);
        case Fault::CannotRead:
            return "无法读取固件文件" + quoted + "：" + SystemText(result.systemError);
        case Fault::OffsetTooLarge:
            return "固件文件" + quoted + "无效：数据块偏移超出 0 到 65535 的范围";
        case Fault::MissingBlocks:
            return "固件文件" + quoted + "不完整：文件头需要 " + std::to_string(result.blocksNamed) +
                   " 个数据块，文件中只有 " + std::to_string(result.blocksFound) + " 个";
    }
    return {};
}

}  // namespace qrv::firmware
