#include "sim/module_state.h"

#include <algorithm>

namespace qrv::sim {

std::uint8_t IoState::Lines() const {
    const std::uint8_t driven = loopback ? static_cast<std::uint8_t>(inputs | outputs) : inputs;
    return static_cast<std::uint8_t>(driven & 0x0F);
}

ModuleBase ModuleConfig::Base() const {
    ModuleBase base{};
    base.NetAddr = record.LocalAddr;
    base.DevType = record.DevType;
    base.RunState = record.RunState;
    base.FwVersion = record.FwVersion;
    return base;
}

std::uint16_t NextBcdVersion(std::uint16_t version) {
    unsigned digits[4];
    for (int i = 0; i < 4; ++i) digits[i] = std::min((version >> (4 * i)) & 0xFu, 9u);
    for (int i = 0; i < 4; ++i) {
        if (++digits[i] < 10) break;
        digits[i] = 0;
    }
    unsigned result = 0;
    for (int i = 3; i >= 0; --i) result = (result << 4) | digits[i];
    return static_cast<std::uint16_t>(result == 0 ? 1 : result);
}

std::uint64_t ImageDigest(const FirmwareBlocks& blocks) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    auto mix = [&hash](std::uint8_t byte) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    };
    for (const auto& [offset, data] : blocks) {
        mix(static_cast<std::uint8_t>(offset >> 8));
        mix(static_cast<std::uint8_t>(offset & 0xFF));
        for (std::uint8_t byte : data) mix(byte);
    }
    return hash;
}

}  // namespace qrv::sim
