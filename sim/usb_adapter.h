// How a USB-serial adapter hands a module's answer to the host. The chip
// collects the bytes its UART receives and sends them on in USB packets: a
// packet leaves when it is full, or when the chip's latency timer fires
// with bytes waiting. An answer that straddles a timer tick, or is longer
// than a packet, reaches the host in pieces with a gap between them.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "sim/answer_builder.h"
#include "sim/module_state.h"

namespace qrv::sim {

struct AdapterShape {
    std::string kind;                    // "ftdi", "ch340", "cp210x", "pl2303"
    std::size_t packetSize = 62;         // payload bytes of one USB packet
    std::chrono::microseconds timer{16000};  // latency timer period
};

// "ftdi" (62-byte packets, 16 ms), "ftdi:2" (2 ms timer), "ch340" (32-byte
// packets), "cp210x", "pl2303" (64-byte packets); ":MS" sets the timer.
bool ParseAdapter(std::string_view text, AdapterShape& out, std::string& error);

struct Delivery {
    Bytes bytes;
    Clock::time_point at;  // when the host can read them
};

// The pieces in which `bytes`, whose first byte starts on the wire at
// `start` and takes `byteTime` each, reach the host. The chip's timer ticks
// at `timerOrigin` + k * timer.
std::vector<Delivery> DeliverThroughAdapter(const Bytes& bytes, Clock::time_point start,
                                            std::chrono::nanoseconds byteTime, const AdapterShape& adapter,
                                            Clock::time_point timerOrigin);

// The two halves of `bytes`, cut at a random point (never empty); one
// piece when there is nothing to cut.
std::vector<Bytes> SplitOnce(const Bytes& bytes, std::mt19937_64& random);

}  // namespace qrv::sim
