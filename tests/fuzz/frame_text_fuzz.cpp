// The frame decoder behind Q_DescribeFrame and every trace line: arbitrary
// bytes give a line in any direction, and every frame the SDK builds, from
// any field values, reads as one complete frame.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "protocol/frame_text.h"
#include "protocol/frames.h"

using namespace qrv::protocol;

namespace {

void Require(bool holds) {
    if (!holds) std::abort();
}

// Field values drawn from the input, zero once it runs out.
class Draw {
public:
    Draw(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() << 8 | Byte()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

void Complete(const Frame& frame) {
    std::string text;
    Require(DescribeFrame({frame.data(), frame.size}, FrameDirection::Request, text));
    Require(!text.empty());
}

void BuiltFrames(Draw draw) {
    Complete(BuildReadBaseInfo());
    Complete(BuildReadProperty(draw.Word(), draw.Byte(), draw.Byte()));
    ModuleProperty record;
    for (std::size_t i = 0; i < sizeof record; ++i) reinterpret_cast<std::uint8_t*>(&record)[i] = draw.Byte();
    Complete(BuildWriteProperty(draw.Word(), record));
    Complete(BuildTuneRadio(draw.Byte(), draw.Byte()));
    Complete(BuildSearchBroadcast());
    Complete(BuildSearchByAddr(draw.Word()));
    Complete(BuildResetModule(draw.Word(), draw.Word()));
    Complete(BuildEnterUpdate(draw.Word(), draw.Word()));
    Complete(BuildFinishUpdate(draw.Word(), draw.Word()));
    Complete(BuildFactoryReset(draw.Word(), draw.Word()));
    std::uint8_t block[kFirmwareBlockSize];
    for (std::uint8_t& b : block) b = draw.Byte();
    const std::uint16_t addr = draw.Word();
    const std::uint16_t offset = draw.Word();
    Complete(BuildFirmwareBlock(addr, offset, block, FirmwareRegion::First));
    Complete(BuildFirmwareBlock(addr, offset, block, FirmwareRegion::Second));
    Complete(BuildIoSetDirections(draw.Word(), draw.Byte()));
    Complete(BuildIoSetOutputs(draw.Word(), draw.Byte()));
    Complete(BuildIoReadInputs(draw.Word()));
    Complete(BuildIoReadAd(draw.Word()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly `size` bytes, so that ASan sees any read past them.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::span<const std::uint8_t> frame(reinterpret_cast<const std::uint8_t*>(bytes.data()), size);
    for (const FrameDirection direction : {FrameDirection::Unknown, FrameDirection::Request, FrameDirection::Answer}) {
        std::string text;
        (void)DescribeFrame(frame, direction, text);
        Require(!text.empty());
    }
    Require(HexBytes(frame).size() == (size == 0 ? 0 : size * 3 - 1));
    BuiltFrames(Draw(data, size));
    return 0;
}
