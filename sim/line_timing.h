// Timing of a serial line: a pty moves bytes instantly, so the simulator
// paces them itself.
#pragma once

#include <chrono>
#include <cstddef>

namespace qrv::sim {

// One start bit, eight data bits, one stop bit.
constexpr unsigned kBitsPerByte = 10;

constexpr std::chrono::nanoseconds ByteTime(unsigned baud) {
    return std::chrono::nanoseconds(1'000'000'000ull * kBitsPerByte / (baud ? baud : 1));
}

constexpr std::chrono::nanoseconds WireTime(std::size_t bytes, unsigned baud) {
    return ByteTime(baud) * static_cast<long long>(bytes);
}

// The gap after which a host's read ends: forty character times, at least
// 1 ms (3 ms at 115200 baud, 41 ms at 9600).
constexpr std::chrono::milliseconds HostReadInterval(unsigned baud) {
    const unsigned ms = 400000u / (baud ? baud : 1);
    return std::chrono::milliseconds(ms < 1 ? 1 : ms);
}

}  // namespace qrv::sim
