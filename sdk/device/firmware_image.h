// A firmware image (.bin) read whole and checked before any frame goes out:
// a 20-byte header of five little-endian 32-bit words (first region start and
// end, second region start and end, image version), then 64-byte blocks, the
// first region's and then the second region's, back to back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "device/image_file.h"
#include "protocol/frames.h"

namespace qrv::firmware {

constexpr std::size_t kHeaderSize = 20;
constexpr std::int32_t kMinImageVersion = 16;
// Block offsets travel in 16 bits.
constexpr std::int64_t kOffsetLimit = 65536;

struct Header {
    std::int32_t firstStart = 0;
    std::int32_t firstEnd = 0;
    std::int32_t secondStart = 0;
    std::int32_t secondEnd = 0;
    std::int32_t version = 0;
};

// One region's blocks: module-side offsets start, start + 64, ...
struct Region {
    protocol::FirmwareRegion kind = protocol::FirmwareRegion::First;
    std::uint16_t start = 0;
    std::size_t blocks = 0;
};

enum class Fault {
    None,
    CannotOpen,     // the file does not open
    NotRegularFile, // a directory, FIFO, device or socket
    CannotRead,     // a read fails
    BadVersion,     // header short or version below 16
    OffsetTooLarge, // a region's blocks would pass 0xFFFF (or start below 0)
    MissingBlocks,  // the file ends before the blocks the header names
};

struct Image {
    Header header;
    Region first;   // empty unless firstStart > 0
    Region second;
    std::vector<std::uint8_t> blocks;  // first region's blocks, then the second's

    // The 64 data bytes of block `n` of `region`.
    const std::uint8_t* Block(const Region& region, std::size_t n) const;
};

struct LoadResult {
    Fault fault = Fault::None;
    std::string path;          // UTF-8, for messages
    int systemError = 0;       // errno for CannotOpen / CannotRead
    FileKind kind = FileKind::Regular;  // NotRegularFile: what the path named
    std::size_t headerBytes = kHeaderSize;  // BadVersion: a header cut short
    std::size_t blocksNamed = 0;  // MissingBlocks: what the header asks for
    std::size_t blocksFound = 0;  // MissingBlocks: whole blocks in the file
    Image image;
};

// Missing words of a short header read as 0.
Header ParseHeader(const std::uint8_t* bytes, std::size_t size);

// The regions a header names, or OffsetTooLarge / BadVersion.
Fault PlanRegions(const Header& header, Region& first, Region& second);

// Reads and checks the image file at `path`; only the bytes the header
// names are looked at.
LoadResult LoadImage(const wchar_t* path);
// The same checks on a file's bytes.
LoadResult CheckImage(std::vector<std::uint8_t> bytes);

// The text a host shows for a refused image, and the message kind (icon).
int FaultMessageKind(Fault fault);
std::string FaultMessage(const LoadResult& result, const std::string& utf8Path);
// One English line of the facts, for the failure detail.
std::string FaultDetail(const LoadResult& result);

}  // namespace qrv::firmware
