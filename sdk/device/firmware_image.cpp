#include "device/firmware_image.h"

#include "common/outcome.h"
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

std::string SystemText(int error) { return SystemMessage(error); }

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

namespace {

// The largest image a header can name: two regions of 16-bit offsets.
constexpr std::size_t kLargestImage = kHeaderSize + 2 * static_cast<std::size_t>(kOffsetLimit);

// What a path named that is no regular file, for the message and the detail.
struct KindWords {
    FileKind kind;
    const char* chinese;
    const char* english;
};
constexpr KindWords kKindWords[] = {
    {FileKind::Directory, "目录", "a directory"}, {FileKind::Fifo, "命名管道", "a FIFO"},
    {FileKind::Device, "设备", "a device"},       {FileKind::Socket, "套接字", "a socket"},
};
constexpr KindWords kOtherKind{FileKind::Other, "特殊文件", "a special file"};

const KindWords& WordsFor(FileKind kind) {
    for (const KindWords& words : kKindWords)
        if (words.kind == kind) return words;
    return kOtherKind;
}

}  // namespace

LoadResult CheckImage(std::vector<std::uint8_t> bytes) {
    LoadResult result;
    // A header cut short names no version worth trusting; its missing words
    // read as 0.
    result.image.header = ParseHeader(bytes.data(), bytes.size());
    if (bytes.size() < kHeaderSize) {
        result.fault = Fault::BadVersion;
        result.headerBytes = bytes.size();
        return result;
    }
    Image& image = result.image;
    result.fault = PlanRegions(image.header, image.first, image.second);
    if (result.fault != Fault::None) return result;

    // Offsets below 65536 bound this to 2048 blocks; trailing bytes past the
    // named blocks are not looked at.
    result.blocksNamed = image.first.blocks + image.second.blocks;
    const std::size_t needed = result.blocksNamed * kBlockSize;
    const std::size_t held = bytes.size() - kHeaderSize;
    if (held < needed) {
        result.fault = Fault::MissingBlocks;
        result.blocksFound = held / kBlockSize;
        return result;
    }
    image.blocks.assign(bytes.begin() + kHeaderSize, bytes.begin() + static_cast<std::ptrdiff_t>(kHeaderSize + needed));
    return result;
}

LoadResult LoadImage(const wchar_t* path) {
    FileContents file = ReadImageFile(path, kLargestImage);
    LoadResult result;
    if (file.fault == FileFault::None) result = CheckImage(std::move(file.bytes));
    if (file.fault == FileFault::CannotOpen) result.fault = Fault::CannotOpen;
    if (file.fault == FileFault::CannotRead) result.fault = Fault::CannotRead;
    if (file.fault == FileFault::NotRegular) result.fault = Fault::NotRegularFile;
    result.systemError = file.systemError;
    result.kind = file.kind;
    result.path = std::move(file.displayPath);
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
        case Fault::NotRegularFile:
            return "固件文件" + quoted + "不是普通文件（是" + WordsFor(result.kind).chinese + "），没有读取";
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

std::string FaultDetail(const LoadResult& result) {
    const char* path = result.path.c_str();
    switch (result.fault) {
        case Fault::None:
            return {};
        case Fault::CannotOpen:
            return Printf("image %s: cannot open: %s", path, SystemText(result.systemError).c_str());
        case Fault::NotRegularFile:
            return Printf("image %s: not a regular file but %s; nothing read", path, WordsFor(result.kind).english);
        case Fault::CannotRead:
            return Printf("image %s: cannot read: %s", path, SystemText(result.systemError).c_str());
        case Fault::BadVersion:
            if (result.headerBytes < kHeaderSize)
                return Printf("image %s: a header of %zu bytes, %zu needed", path, result.headerBytes, kHeaderSize);
            return Printf("image %s: header version %d, at least %d needed", path, result.image.header.version,
                          kMinImageVersion);
        case Fault::OffsetTooLarge:
            return Printf("image %s: block offsets outside 0 to 65535", path);
        case Fault::MissingBlocks:
            return Printf("image %s: the header names %zu blocks, the file holds %zu", path, result.blocksNamed,
                          result.blocksFound);
    }
    return {};
}

}  // namespace qrv::firmware
