// The firmware image check on arbitrary file bytes: an accepted image's
// blocks are exactly the file's bytes after the header, every block offset
// fits the frame's 16 bits, and a refused one has a message and a detail.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "device/firmware_image.h"

using namespace qrv::firmware;

namespace {
void Require(bool holds) {
    if (!holds) std::abort();
}

void RegionFits(const Region& region) {
    if (region.blocks == 0) return;
    Require(region.start + (region.blocks - 1) * qrv::protocol::kFirmwareBlockSize < kOffsetLimit);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> file(data, data + size);
    const LoadResult result = CheckImage(file);
    if (result.fault != Fault::None) {
        Require(!FaultMessage(result, "fuzz.bin").empty());
        Require(!FaultDetail(result).empty());
        return 0;
    }
    const Image& image = result.image;
    Require(image.header.version >= kMinImageVersion);
    RegionFits(image.first);
    RegionFits(image.second);
    constexpr std::size_t kBlock = qrv::protocol::kFirmwareBlockSize;
    Require(image.blocks.size() == (image.first.blocks + image.second.blocks) * kBlock);
    Require(size >= kHeaderSize + image.blocks.size());
    for (const Region* region : {&image.first, &image.second})
        for (std::size_t n = 0; n < region->blocks; ++n) {
            const std::size_t index = (region == &image.second ? image.first.blocks : 0) + n;
            Require(std::memcmp(image.Block(*region, n), data + kHeaderSize + index * kBlock, kBlock) == 0);
        }
    return 0;
}
