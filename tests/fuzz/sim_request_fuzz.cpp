// The simulator's request decoder on arbitrary line bytes: every result
// consumes within the bytes given, and decoding always moves forward.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "sim/request_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::span<const std::uint8_t> bytes(data, size);
    const bool lineIdle = size > 0 && (data[0] & 1) != 0;
    while (!bytes.empty()) {
        const auto result = qrv::sim::DecodeRequest(bytes, lineIdle);
        if (result.consumed > bytes.size()) std::abort();
        if (result.status == qrv::sim::DecodeStatus::NeedMore) break;
        if (result.consumed == 0) std::abort();
        if (result.status == qrv::sim::DecodeStatus::Frame) (void)qrv::sim::CommandName(result.request.command);
        bytes = bytes.subspan(result.consumed);
    }
    return 0;
}
