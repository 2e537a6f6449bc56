// Protocol numbers of the module's serial command set, named once and shared
// by the SDK, the simulator and the tests.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qrv::protocol {

// Two frame families, told apart by their first and last byte.
constexpr std::uint8_t kConfigStart = 0xAB;
constexpr std::uint8_t kConfigEnd = 0xBA;
constexpr std::uint8_t kIoStart = 0xAA;
constexpr std::uint8_t kIoEnd = 0x55;
// Firmware blocks close with this marker (and, in the second region, kConfigEnd).
constexpr std::uint8_t kBlockMarker = 0xA5;

// Configuration family (0xAB ... 0xBA).
constexpr std::uint8_t kCmdReadBaseInfo = 0xD1;
constexpr std::uint8_t kCmdReadProperty = 0xD2;
constexpr std::uint8_t kCmdWriteProperty = 0xD3;
constexpr std::uint8_t kCmdTuneRadio = 0xD4;
constexpr std::uint8_t kCmdSearchBroadcast = 0xD5;
constexpr std::uint8_t kCmdSearchByAddr = 0xD6;
constexpr std::uint8_t kCmdResetModule = 0xD7;
constexpr std::uint8_t kCmdEnterUpdate = 0xD8;
constexpr std::uint8_t kCmdFirmwareBlock = 0xD9;
constexpr std::uint8_t kCmdFinishUpdate = 0xDA;
constexpr std::uint8_t kCmdFactoryReset = 0xDB;

// IO family (0xAA ... 0x55): the same codes mean other commands here.
constexpr std::uint8_t kIoCmdSetDirections = 0xD4;
constexpr std::uint8_t kIoCmdSetOutputs = 0xD5;
constexpr std::uint8_t kIoCmdReadInputs = 0xD6;
constexpr std::uint8_t kIoCmdReadAd = 0xD7;

// Request lengths.
constexpr std::size_t kLenReadBaseInfo = 3;
constexpr std::size_t kLenReadProperty = 7;
constexpr std::size_t kLenWriteProperty = 59;
constexpr std::size_t kLenTuneRadio = 5;
constexpr std::size_t kLenSearchBroadcast = 3;
constexpr std::size_t kLenSearchByAddr = 5;
constexpr std::size_t kLenAddrTypeCommand = 7;  // 0xD7, 0xD8, 0xDA, 0xDB
constexpr std::size_t kLenBlockFirstRegion = 71;
constexpr std::size_t kLenBlockSecondRegion = 72;
constexpr std::size_t kLenIoWrite = 6;
constexpr std::size_t kLenIoRead = 5;
constexpr std::size_t kMaxRequestLen = kLenBlockSecondRegion;

// ---- Answer layouts: the one place that says where each answer keeps
// what is read from it. The SDK's answer checks, the frame decoder and the
// simulator's answer builders all go by these.

// Every answer starts with its family's start byte and repeats the
// command code right after it.
constexpr std::size_t kAnswerEchoAt = 1;

// 0xD1: AB D1 addr(2) type(2) run-state fw-version(2) BA
constexpr std::size_t kAnswerLenBaseInfo = 10;
constexpr std::size_t kBaseInfoAddrAt = 2;
constexpr std::size_t kBaseInfoTypeAt = 4;
constexpr std::size_t kBaseInfoRunStateAt = 6;
constexpr std::size_t kBaseInfoFwAt = 7;

// 0xD2: AB D2 addr(2) offset count, then the 57-byte record; no end byte.
constexpr std::size_t kPropertyAnswerAddrAt = 2;
constexpr std::size_t kPropertyAnswerOffsetAt = 4;
constexpr std::size_t kPropertyAnswerCountAt = 5;
constexpr std::size_t kAnswerPropertyOffset = 6;  // the record starts here
constexpr std::size_t kAnswerLenProperty = 63;    // 6 + 57

// 0xD3: AB D3 addr(2) status BA
constexpr std::size_t kAnswerLenWriteProperty = 6;
constexpr std::size_t kWriteAnswerAddrAt = 2;
constexpr std::size_t kWriteAnswerStatusAt = 4;

// 0xD4 tune: AB D4 status BA
constexpr std::size_t kAnswerLenTune = 4;
constexpr std::size_t kTuneAnswerStatusAt = 2;

// 0xD5, 0xD6: AB cmd addr(2) type(2) run-state BA
constexpr std::size_t kAnswerLenSearch = 8;
constexpr std::size_t kSearchAnswerAddrAt = 2;
constexpr std::size_t kSearchAnswerTypeAt = 4;
constexpr std::size_t kSearchAnswerRunStateAt = 6;

// 0xD8, 0xD9, 0xDA, 0xDB: AB cmd addr(2) word(2) status BA. The word is the
// device type, or for a firmware block the offset it acknowledges.
constexpr std::size_t kAnswerLenAddrTypeCommand = 8;  // 0xD8, 0xDA, 0xDB
constexpr std::size_t kAnswerLenFirmwareBlock = 8;
constexpr std::size_t kStepAnswerAddrAt = 2;
constexpr std::size_t kStepAnswerWordAt = 4;
constexpr std::size_t kStepAnswerStatusAt = 6;

// IO 0xD4, 0xD5, 0xD6: AA cmd addr(2) byte 55. The byte is the status of a
// write, or the input lines of a read.
constexpr std::size_t kAnswerLenIoWrite = 6;
constexpr std::size_t kAnswerLenIoInputs = 6;
constexpr std::size_t kIoAnswerAddrAt = 2;
constexpr std::size_t kIoAnswerByteAt = 4;

// IO 0xD7: AA D7 addr(2) four 16-bit values (high byte first) 55
constexpr std::size_t kAnswerLenAd = 13;
constexpr std::size_t kAdBlockAt = 4;
constexpr std::size_t kAdBlockSize = 8;
constexpr std::size_t kFirmwareBlockSize = 64;
// Status bytes of answers: 0 accepts, anything else refuses.
constexpr std::uint8_t kStatusOk = 0x00;

// The SDK asks for the whole record: offset 0, 57 bytes, sent as 57 - 5
// because the five read-only trailing bytes are not counted.
constexpr std::uint8_t kPropertyOffsetAll = 0x00;
constexpr std::uint8_t kPropertyLengthAll = 57;
constexpr std::uint8_t kPropertyWireCount = 0x34;  // 52

// Every answer is read into a buffer of this size, the driver queue size.
constexpr std::size_t kAnswerBufferSize = 1024;

// Fixed pauses between a request and the read of its answer (milliseconds).
constexpr unsigned kWaitReadBaseInfoMs = 100;
constexpr unsigned kWaitReadPropertyMs = 100;
constexpr unsigned kWaitTuneMs = 100;
constexpr unsigned kWaitSearchMs = 10;
constexpr unsigned kWaitAfterResetMs = 400;
constexpr unsigned kWaitFactoryResetMs = 1000;
constexpr unsigned kWaitBlockFirstRegionMs = 1000;
constexpr unsigned kWaitBlockSecondRegionMs = 10;
constexpr unsigned kWaitBlockRetryMs = 1000;

// Air-rate indices carried by 0xD4 and in the property record.
constexpr std::uint8_t kAirRate250K = 0;
constexpr std::uint8_t kAirRate500K = 1;
constexpr std::uint8_t kAirRate1M = 2;

}  // namespace qrv::protocol
