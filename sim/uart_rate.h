// The module's UART rate as its record codes it (byte 45): an index into a
// fixed list of rates.
#pragma once

#include <cstdint>
#include <iterator>
#include <optional>

namespace qrv::sim {

inline constexpr unsigned kUartRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800};

constexpr std::optional<unsigned> UartRateOfIndex(std::uint8_t index) {
    if (index >= std::size(kUartRates)) return std::nullopt;
    return kUartRates[index];
}

constexpr std::optional<std::uint8_t> UartIndexOfRate(unsigned rate) {
    for (std::uint8_t i = 0; i < std::size(kUartRates); ++i)
        if (kUartRates[i] == rate) return i;
    return std::nullopt;
}

}  // namespace qrv::sim
