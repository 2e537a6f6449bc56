// Frames as one English line each: the trace's decoding, Q_DescribeFrame and
// the simulator's --trace all come from here.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qrv::protocol {

// Which way a frame went, when known. Only the IO family's set-directions
// and set-outputs frames look the same both ways (byte 4 is the value in a
// request and the status in an answer); everything else is told by length.
enum class FrameDirection : std::uint8_t { Unknown, Request, Answer };

// "tune-radio channel=26 rate=1M", "read-base-info answer addr=0x0102 ...".
// True when `bytes` are exactly one complete frame of the command table;
// otherwise the line still says what was recognised ("partial ...",
// "unrecognised 3 bytes") and the result is false.
bool DescribeFrame(std::span<const std::uint8_t> bytes, FrameDirection direction, std::string& text);

// "AB D1 BA"
std::string HexBytes(std::span<const std::uint8_t> bytes);

// "250K", "500K", "1M"; "?" for other indices.
const char* AirRateName(std::uint8_t rate);

}  // namespace qrv::protocol
