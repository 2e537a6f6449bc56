// Answers the module writes back, byte for byte, at the positions of the
// SDK's answer layouts. 16-bit fields travel high byte first; records are
// given in host order and converted here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "qrvlink/qrvlink.h"
#include "sim/request_decoder.h"

namespace qrv::sim {

using Bytes = std::vector<std::uint8_t>;
using AdValues = std::array<std::uint16_t, 4>;  // millivolts, channel 1 first

// AB D1 addr type runstate fw BA (10 bytes).
Bytes BuildBaseInfoAnswer(const ModuleBase& base);
// AB D2 addr offset count, then the 57-byte record (63 bytes, no end byte:
// the record fills the frame up to its last byte).
Bytes BuildPropertyAnswer(std::uint16_t addr, std::uint8_t offset, std::uint8_t count, const ModuleProperty& record);
// AB D3 addr status BA (6 bytes).
Bytes BuildWritePropertyAnswer(std::uint16_t addr, std::uint8_t status);
// AB D4 status BA (4 bytes).
Bytes BuildTuneAnswer(std::uint8_t status);
// AB D5|D6 addr type runstate BA (8 bytes).
Bytes BuildSearchAnswer(std::uint8_t command, const ModuleBase& base);
// AB D8|DA|DB addr type status BA (8 bytes).
Bytes BuildAddrTypeAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t status);
// AB D9 addr offset status BA (8 bytes): the echo tells the host which block landed.
Bytes BuildFirmwareBlockAnswer(std::uint16_t addr, std::uint16_t offset, std::uint8_t status);
// AA D4|D5 addr status 55 (6 bytes).
Bytes BuildIoStatusAnswer(std::uint8_t command, std::uint16_t addr, std::uint8_t status);
// AA D6 addr lines 55 (6 bytes).
Bytes BuildIoInputsAnswer(std::uint16_t addr, std::uint8_t lines);
// AA D7 addr, four big-endian values, 55 (13 bytes).
Bytes BuildAdAnswer(std::uint16_t addr, const AdValues& millivolts);

// Position of the status byte in the answer to `command` (the command table's).
using protocol::StatusPosition;

}  // namespace qrv::sim
