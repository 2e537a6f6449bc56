// One-line decodings of frames for the trace and the request/answer log.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "sim/request_decoder.h"

namespace qrv::sim {

std::string HexBytes(std::span<const std::uint8_t> bytes);
// "tune-radio channel=26 rate=1M", "write-property addr=0x0102 name=... ch=11"
std::string DescribeRequest(const Request& request);
// The answer to `command` as the module sent it (possibly damaged by a fault).
std::string DescribeAnswer(CommandKey command, std::span<const std::uint8_t> answer);

}  // namespace qrv::sim
