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

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

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

LoadResult LoadImage(const std::string& utf8Path) { return ReadImageFile(std::fopen(utf8Path.c_str(), "rb")); }

LoadResult ReadImageFile(std::FILE* opened) {
    LoadResult result;
    if (opened == nullptr) {
        result.fault = Fault::CannotOpen;
        result.systemError = errno;
        return result;
    }
    const std::unique_ptr<std::FILE, FileCloser> owner(opened);
    std::FILE* const file = owner.get();
    std::uint8_t headerBytes[kHeaderSize];
    const std::size_t headerRead = std::fread(headerBytes, 1, kHeaderSize, file);
    if (std::ferror(file)) {
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
    const std::size_t dataRead = std::fread(image.blocks.data(), 1, image.blocks.size(), file);
    if (std::ferror(file)) {
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

bool WidePathToUtf8(const wchar_t* path, std::string& utf8) {
    utf8.clear();
    bool valid = true;
    for (const wchar_t* p = path; *p != L'\0'; ++p) {
        auto c = static_cast<char32_t>(*p);
        // Where wchar_t is 16 bits wide, characters past U+FFFF come as pairs.
        if constexpr (sizeof(wchar_t) == 2) {
            const auto next = static_cast<char32_t>(p[1]);
            if (c >= 0xD800 && c <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
                ++p;
            }
        }
        // Surrogates and values past U+10FFFF name no character; shown as
        // U+FFFD so a message can still quote the path.
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            valid = false;
            c = 0xFFFD;
        }
        AppendUtf8(utf8, c);
    }
    return valid;
}

}  // namespace qrv::firmware
