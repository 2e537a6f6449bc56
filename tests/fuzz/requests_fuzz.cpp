// The request builders on arbitrary arguments: every frame has its table
// length, the decoder calls it one complete request, and the simulator's
// decoder reads back exactly the address, offset, record and block given.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "protocol/commands.h"
#include "protocol/frame_text.h"
#include "protocol/frames.h"
#include "records/module_records.h"
#include "sim/request_decoder.h"

using namespace qrv;
using namespace qrv::protocol;

namespace {
void Require(bool holds) {
    if (!holds) std::abort();
}

sim::Request Decoded(const Frame& frame, std::size_t expectedLength) {
    Require(frame.size == expectedLength);
    std::string text;
    Require(DescribeFrame({frame.data(), frame.size}, FrameDirection::Request, text));
    const auto result = sim::DecodeRequest({frame.data(), frame.size}, true);
    Require(result.status == sim::DecodeStatus::Frame && result.consumed == frame.size);
    return result.request;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4 + kPropertySize + kFirmwareBlockSize) return 0;
    const auto addr = static_cast<std::uint16_t>(data[0] << 8 | data[1]);
    const auto offset = static_cast<std::uint16_t>(data[2] << 8 | data[3]);
    const ModuleProperty record = PropertyFromWire(data + 4);
    std::uint8_t block[kFirmwareBlockSize];
    std::memcpy(block, data + 4 + kPropertySize, sizeof block);

    const sim::Request write = Decoded(BuildWriteProperty(addr, record), kLenWriteProperty);
    Require(write.command == ConfigKey(kCmdWriteProperty) && write.addr == addr);
    std::uint8_t wire[kPropertySize];
    PropertyToWire(record, wire);
    Require(std::memcmp(write.record.data(), wire, write.record.size()) == 0);

    for (const FirmwareRegion region : {FirmwareRegion::First, FirmwareRegion::Second}) {
        const Frame frame = BuildFirmwareBlock(addr, offset, block, region);
        const sim::Request request =
            Decoded(frame, region == FirmwareRegion::First ? kLenBlockFirstRegion : kLenBlockSecondRegion);
        Require(request.command == ConfigKey(kCmdFirmwareBlock) && request.addr == addr);
        Require(request.blockOffset == offset && request.region == region);
        Require(std::memcmp(request.block.data(), block, kFirmwareBlockSize) == 0);
    }
    return 0;
}
