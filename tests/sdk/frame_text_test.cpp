// The frame decoder against literal bytes: every request and every answer of
// both families, the IO frames that read alike both ways, and what it says
// of bytes that are no complete frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/frame_text.h"

using namespace qrv::protocol;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Row {
    Bytes bytes;
    FrameDirection direction;
    const char* text;
    bool complete = true;
};

constexpr auto kRequest = FrameDirection::Request;
constexpr auto kAnswer = FrameDirection::Answer;
constexpr auto kEither = FrameDirection::Unknown;

Bytes Block(std::uint8_t last1, std::uint8_t last2, bool second) {
    Bytes b{0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40};
    b.resize(6 + 64, 0x11);
    b.push_back(last1);
    if (second) b.push_back(last2);
    return b;
}

Bytes RecordAnswer() {
    Bytes b{0xAB, 0xD2, 0x01, 0x02, 0x00, 0x34};
    b.resize(63, 0);
    b[6 + 33] = 26;    // Channel
    b[6 + 36] = 0x01;  // LocalAddr, high byte first
    b[6 + 37] = 0x02;
    b[6 + 40] = 2;     // AirRate
    return b;
}

Bytes RecordWrite() {
    Bytes b{0xAB, 0xD3, 0x00, 0x01, 0x00, 0x34};
    b.resize(58, 0);
    b[6 + 33] = 11;
    b[6 + 36] = 0x00;
    b[6 + 37] = 0x42;
    b.push_back(0xBA);
    return b;
}

Bytes Sized(Bytes b, std::size_t n) {
    b.resize(n, 0);
    return b;
}

}  // namespace

TEST(FrameText, EveryCommandBothWays) {
    const Row rows[] = {
        {{0xAB, 0xD1, 0xBA}, kEither, "read-base-info"},
        {{0xAB, 0xD1, 0x00, 0x01, 0x00, 0x12, 0xAA, 0x02, 0x05, 0xBA}, kEither,
         "read-base-info answer addr=0x0001 type=0x0012 run=USER fw=0x0205"},
        {{0xAB, 0xD2, 0x01, 0x02, 0x00, 0x34, 0xBA}, kEither, "read-property addr=0x0102 offset=0 count=52"},
        {RecordAnswer(), kEither, "read-property answer addr=0x0102 channel=26 rate=1M"},
        {RecordWrite(), kEither, "write-property addr=0x0001 new-addr=0x0042 channel=11 rate=250K"},
        {{0xAB, 0xD3, 0x00, 0x01, 0x00, 0xBA}, kEither, "write-property answer status=0 addr=0x0001"},
        {{0xAB, 0xD4, 0x1A, 0x02, 0xBA}, kEither, "tune-radio channel=26 rate=1M"},
        {{0xAB, 0xD4, 0x01, 0xBA}, kEither, "tune-radio answer status=1"},
        {{0xAB, 0xD5, 0xBA}, kEither, "search-broadcast"},
        {{0xAB, 0xD5, 0x01, 0x02, 0x00, 0x10, 0xAA, 0xBA}, kEither,
         "search-broadcast answer addr=0x0102 type=0x0010 run=USER"},
        {{0xAB, 0xD6, 0x03, 0x04, 0xBA}, kEither, "search-by-addr addr=0x0304"},
        {{0xAB, 0xD6, 0x03, 0x04, 0x00, 0x00, 0x55, 0xBA}, kEither,
         "search-by-addr answer addr=0x0304 type=0x0000 run=BOOT"},
        {{0xAB, 0xD7, 0x01, 0x02, 0x00, 0x10, 0xBA}, kEither, "reset addr=0x0102 type=0x0010"},
        {{0xAB, 0xD8, 0x01, 0x02, 0x00, 0x10, 0xBA}, kEither, "enter-update addr=0x0102 type=0x0010"},
        {{0xAB, 0xD8, 0x01, 0x02, 0x00, 0x10, 0x00, 0xBA}, kEither,
         "enter-update answer status=0 addr=0x0102 type=0x0010"},
        {Block(0xA5, 0, false), kEither, "firmware-block addr=0x0102 offset=0x0140 region=first"},
        {Block(0xA5, 0xBA, true), kEither, "firmware-block addr=0x0102 offset=0x0140 region=second"},
        {{0xAB, 0xD9, 0x01, 0x02, 0x01, 0x40, 0x03, 0xBA}, kEither,
         "firmware-block answer status=3 addr=0x0102 offset=0x0140"},
        {{0xAB, 0xDA, 0x01, 0x02, 0x00, 0x00, 0xBA}, kEither, "finish-update addr=0x0102 type=0x0000"},
        {{0xAB, 0xDA, 0x01, 0x02, 0x00, 0x00, 0x00, 0xBA}, kEither,
         "finish-update answer status=0 addr=0x0102 type=0x0000"},
        {{0xAB, 0xDB, 0x80, 0x01, 0x00, 0x11, 0xBA}, kEither, "factory-reset addr=0x8001 type=0x0011"},
        {{0xAB, 0xDB, 0x80, 0x01, 0x00, 0x11, 0x02, 0xBA}, kEither,
         "factory-reset answer status=2 addr=0x8001 type=0x0011"},
        // The IO set frames: byte 4 is the value going out and the status coming back.
        {{0xAA, 0xD4, 0x12, 0x34, 0x03, 0x55}, kRequest, "io-set-directions addr=0x1234 value=0x03"},
        {{0xAA, 0xD4, 0x12, 0x34, 0x00, 0x55}, kAnswer, "io-set-directions answer status=0 addr=0x1234"},
        {{0xAA, 0xD5, 0x12, 0x34, 0xFF, 0x55}, kRequest, "io-set-outputs addr=0x1234 value=0xFF"},
        {{0xAA, 0xD5, 0x12, 0x34, 0x01, 0x55}, kAnswer, "io-set-outputs answer status=1 addr=0x1234"},
        {{0xAA, 0xD5, 0x12, 0x34, 0x01, 0x55}, kEither,
         "io-set-outputs (request or answer) addr=0x1234 value-or-status=0x01"},
        {{0xAA, 0xD6, 0x12, 0x34, 0x55}, kEither, "io-read-inputs addr=0x1234"},
        {{0xAA, 0xD6, 0x12, 0x34, 0x0B, 0x55}, kEither, "io-read-inputs answer addr=0x1234 lines=0x0B"},
        {{0xAA, 0xD7, 0x00, 0x00, 0x55}, kEither, "io-read-ad addr=0x0000"},
        {{0xAA, 0xD7, 0, 0, 0x01, 0xF4, 0x00, 0x00, 0x0C, 0xE4, 0xFF, 0xFF, 0x55}, kEither,
         "io-read-ad answer addr=0x0000 mv=500,0,3300,65535"},
        // No complete frame: what is recognised, and false.
        {{}, kAnswer, "no bytes", false},
        {{0x00, 0xAB, 0xD1}, kAnswer, "unrecognised 3 bytes", false},
        {{0xAB}, kAnswer, "partial frame, 1 byte", false},
        {{0xAB, 0xE0, 0xBA}, kEither, "unknown command 0xAB 0xE0, 3 bytes", false},
        {{0xAB, 0xD1, 0x00, 0x01, 0x00}, kAnswer, "read-base-info answer, partial: 5 of 10 bytes", false},
        {{0xAB, 0xD1, 0x00, 0x01, 0x00}, kEither, "read-base-info, 5 bytes: neither its request (3) nor its answer (10)",
         false},
        {{0xAB, 0xD1, 0x00, 0x01, 0x00, 0x12, 0xAA, 0x02, 0x05, 0xBA, 0x00}, kAnswer,
         "read-base-info answer, 11 bytes instead of 10", false},
        {{0xAB, 0xD1, 0x00}, kRequest, "read-base-info, ends 0x00 instead of 0xBA", false},
        // The record answer runs on without an end byte, but never past the answer buffer.
        {Sized(RecordAnswer(), 1024), kAnswer, "read-property answer addr=0x0102 channel=26 rate=1M",
         true},
        {Sized(RecordAnswer(), 1025), kAnswer, "read-property answer, 1025 bytes: longer than any answer (1024)",
         false},
        {Sized(RecordAnswer(), 64u << 20), kAnswer,
         "read-property answer, 67108864 bytes: longer than any answer (1024)", false},
    };
    for (const Row& row : rows) {
        std::string text;
        EXPECT_EQ(DescribeFrame(row.bytes, row.direction, text), row.complete) << row.text;
        EXPECT_EQ(text, row.text);
    }
}

TEST(FrameText, HexIsUpperCaseAndSpaced) {
    EXPECT_EQ(HexBytes(Bytes{0xAB, 0x0D, 0xBA}), "AB 0D BA");
    EXPECT_EQ(HexBytes(Bytes{}), "");
}
