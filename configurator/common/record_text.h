#pragma once
// How module identity values read on screen: device type names, firmware
// versions and run states.
#include <QString>

#include <cstdint>

// Names of the product line's device families; the empty string otherwise.
QString GetDevTypeName(unsigned devType);

// The version word holds four decimal digits a.b.c.d in its four nibbles:
// "Vab.cd", or "Vb.cd" when a is 0.
QString FormatFwVersion(std::uint16_t version);

// 0x55 boot loader running, 0xAA user firmware, anything else no boot loader.
QString RunStateText(std::uint8_t runState);

inline constexpr std::uint8_t kRunStateBoot = 0x55;
inline constexpr std::uint8_t kRunStateUser = 0xAA;
