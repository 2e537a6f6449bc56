// The module's side of the serial protocol: turns the bytes a host writes
// into requests. Pure functions over a byte view; nothing is read past the
// bytes given.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "protocol/commands.h"
#include "protocol/frames.h"
#include "protocol/protocol_constants.h"
#include "records/module_records.h"

namespace qrv::sim {

// Families, command keys and names come from the SDK's command table.
using protocol::CommandKey;
using protocol::Family;

// One decoded request. Only the fields of its command are meaningful.
struct Request {
    CommandKey command;
    std::uint16_t addr = 0;         // every addressed frame
    std::uint16_t type = 0;         // 0xD7, 0xD8, 0xDA, 0xDB
    std::uint8_t channel = 0;       // 0xD4 tune
    std::uint8_t rate = 0;          // 0xD4 tune
    std::uint8_t offset = 0;        // 0xD2, 0xD3 record offset
    std::uint8_t count = 0;         // 0xD2, 0xD3 record count (without the 5 read-only bytes)
    std::uint8_t value = 0;         // IO 0xD4 directions, IO 0xD5 outputs
    std::uint16_t blockOffset = 0;  // 0xD9
    protocol::FirmwareRegion region = protocol::FirmwareRegion::First;
    std::array<std::uint8_t, protocol::kFirmwareBlockSize> block{};
    std::array<std::uint8_t, kWritablePropertySize> record{};  // 0xD3, wire order
    std::size_t length = 0;                                    // bytes the frame took on the line

    bool HasAddress() const;
};

enum class DecodeStatus {
    NeedMore,  // a frame may start here; wait for more bytes
    Frame,     // `request` holds a frame of `consumed` bytes
    Skip,      // drop `consumed` bytes: they cannot start a valid frame
};

struct DecodeResult {
    DecodeStatus status = DecodeStatus::NeedMore;
    std::size_t consumed = 0;
    Request request;
};

// Looks at the front of `bytes`. A firmware block of the first region (71
// bytes ending 0xA5) and one of the second (72 bytes ending 0xA5 0xBA) share
// their first 71 bytes: the block is taken as a first-region one when a
// 72nd byte other than 0xBA follows, or when `lineIdle` says nothing more
// arrived after the 71st byte.
DecodeResult DecodeRequest(std::span<const std::uint8_t> bytes, bool lineIdle);

// The request length of a command, 0 when the module does not know it. For
// 0xD9 this is the shorter (first-region) length.
std::size_t RequestLength(CommandKey command);

// "read-base-info", "io-set-outputs", ...; "0xAB 0x??" style for unknown codes.
using protocol::CommandName;

}  // namespace qrv::sim
