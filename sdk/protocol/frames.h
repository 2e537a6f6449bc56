// Request frames the SDK writes and the checks its answers must pass. Pure
// functions over fixed buffers: no I/O, no allocation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"

namespace qrv::protocol {

// One request, built in place.
struct Frame {
    std::array<std::uint8_t, kMaxRequestLen> bytes{};
    std::size_t size = 0;

    const std::uint8_t* data() const { return bytes.data(); }
};

// An answer as read: the bytes and how many arrived.
struct Answer {
    const std::uint8_t* bytes;
    std::size_t size;
};

enum class FirmwareRegion { First, Second };

// ---- Requests, configuration family ----
Frame BuildReadBaseInfo();
Frame BuildReadProperty(std::uint16_t addr, std::uint8_t offset, std::uint8_t length);
// Bytes 0..51 of `record` (host order) with the 16-bit fields turned big-endian.
Frame BuildWriteProperty(std::uint16_t addr, const ModuleProperty& record);
Frame BuildTuneRadio(std::uint8_t channel, std::uint8_t rate);
Frame BuildSearchBroadcast();
Frame BuildSearchByAddr(std::uint16_t addr);
Frame BuildResetModule(std::uint16_t addr, std::uint16_t type);
Frame BuildEnterUpdate(std::uint16_t addr, std::uint16_t type);
Frame BuildFinishUpdate(std::uint16_t addr, std::uint16_t type);
Frame BuildFactoryReset(std::uint16_t addr, std::uint16_t type);
Frame BuildFirmwareBlock(std::uint16_t addr, std::uint16_t offset,
                         const std::uint8_t (&data)[kFirmwareBlockSize], FirmwareRegion region);

// ---- Requests, IO family ----
Frame BuildIoSetDirections(std::uint16_t addr, std::uint8_t directions);
Frame BuildIoSetOutputs(std::uint16_t addr, std::uint8_t outputs);
Frame BuildIoReadInputs(std::uint16_t addr);
Frame BuildIoReadAd(std::uint16_t addr);

// ---- Answers ----
// Each check looks at the length first and never reads a byte that did not
// arrive; an answer too short to hold a byte the check needs is refused.
// The verdict says why an answer was refused; outputs are written only when
// it was accepted.

enum class Refusal : std::uint8_t {
    None,
    NoAnswer,      // nothing arrived
    WrongLength,   // `found` bytes; `expected` exactly (or, with atLeast, at least)
    WrongFraming,  // start or end byte of the family missing
    WrongEcho,     // another command code (`found`) where `expected` belongs
    WrongAddress,  // the address echo differs
    WrongOffset,   // the block offset echo differs
    Status,        // the module said no: `found` is its status byte
};

struct Verdict {
    Refusal why = Refusal::None;
    std::size_t length = 0;      // bytes that arrived
    std::uint32_t expected = 0;  // what the check wanted (length, code, address, offset)
    std::uint32_t found = 0;     // what came instead; the status byte for Status
    bool atLeast = false;        // WrongLength: `expected` is a minimum

    bool Ok() const { return why == Refusal::None; }
};

// 0xD1: exactly 10 bytes, echo at rx[1]; identity from rx[2..8].
Verdict ParseBaseInfoAnswer(Answer rx, ModuleBase& out);
// 0xD2: echo at rx[1]; the record is rx[6..62]. The module's answer is 63
// bytes; a shorter one is refused rather than padded with bytes that never
// came, a longer one is accepted (trailing bytes are not examined).
Verdict ParsePropertyAnswer(Answer rx, ModuleProperty& out);
// 0xD3: exactly 6 bytes, echo at rx[1], status rx[4] = 0.
Verdict CheckWritePropertyAnswer(Answer rx);
// 0xD4 tune: echo at rx[1], status rx[2] = 0; length otherwise free.
Verdict CheckTuneAnswer(Answer rx);
// 0xD5/0xD6: exactly 8 bytes with the command echoed; FwVersion is 0.
Verdict ParseSearchAnswer(Answer rx, std::uint8_t command, ModuleBase& out);
// 0xD8 and 0xDA: exactly 8 bytes, status rx[6] = 0 (echo not examined).
Verdict CheckUpdateStepAnswer(Answer rx);
// 0xD9: echo, address and offset echoed, status rx[6] = 0; length free.
Verdict CheckFirmwareBlockAnswer(Answer rx, std::uint16_t addr, std::uint16_t offset);
// 0xDB: exactly 8 bytes, echo at rx[1], status rx[6] = 0.
Verdict CheckFactoryResetAnswer(Answer rx);
// IO 0xD4: exactly 6 bytes; the far-module form also wants status rx[4] = 0.
Verdict CheckIoSetDirectionsAnswer(Answer rx, bool requireStatus);
// IO 0xD5: exactly 6 bytes, status rx[4] = 0.
Verdict CheckIoSetOutputsAnswer(Answer rx);
// IO 0xD6: exactly 6 bytes framed AA D6 .. .. xx 55; the line byte is rx[4].
Verdict ParseIoInputsAnswer(Answer rx, std::uint8_t& lines);
// IO 0xD7: exactly 13 bytes; rx[4..11] are the AD block, passed on unconverted.
Verdict ParseAdAnswer(Answer rx, std::uint8_t (&block)[kAdBlockSize]);

}  // namespace qrv::protocol
