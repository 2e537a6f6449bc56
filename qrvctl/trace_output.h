// Where the SDK's frame traffic is to be shown (--trace, monitor) once the
// library reports it: one line per frame on standard error. The arguments
// are those the library's trace handler will receive.
#pragma once

#include <cstdint>
#include <string>

namespace qrvctl {

// "[  0.166948] -> AB D2 00 01 00 34 BA"; direction 0 host to module, 1 back.
std::string TraceLine(std::int32_t direction, const std::uint8_t* bytes, std::int32_t length, std::uint64_t microseconds);
void ShowTraceFrame(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                    std::uint64_t microseconds);

}  // namespace qrvctl
