// Reads and writes against a fake module on a pty: where a read ends
// (capacity, gap, total time-out), what a write purges, and the failures.
// Bounds below are protocol facts; the upper ones leave room for a loaded
// machine.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include <future>
#include <vector>

#include "serial/serial_port.h"
#include "support/fake_module.h"
#include "support/pty_pair.h"

namespace qrv {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::Delivery;
using test::FakeModule;
using test::PtyPair;
using Clock = std::chrono::steady_clock;

constexpr auto kSlack = 400ms;
const Bytes kRequest = {0xAB, 0xD1, 0xBA};

Bytes Numbered(std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    return bytes;
}

class SerialIo : public ::testing::Test {
protected:
    void OpenAt(std::uint32_t baud, std::uint32_t readTimeoutMs) {
        ASSERT_EQ(port_.Open(pty_.SlavePathWide().c_str(), baud, 8, 0, 0, 0, 0, 0, 0, readTimeoutMs), 1);
    }

    void WriteRequest() {
        std::uint32_t written = 0;
        ASSERT_EQ(port_.Write(kRequest.data(), static_cast<std::uint32_t>(kRequest.size()), written), 1);
        ASSERT_EQ(written, kRequest.size());
    }

    // One Read; its bytes, success flag and duration.
    struct ReadResult {
        int ok;
        Bytes bytes;
        Clock::duration took;
    };
    ReadResult ReadOnce(std::uint32_t capacity) {
        std::vector<std::uint8_t> buffer(capacity);
        std::uint32_t received = 0xFFFF;
        const auto start = Clock::now();
        const int ok = port_.Read(buffer.data(), capacity, received);
        const auto took = Clock::now() - start;
        buffer.resize(received);
        return {ok, buffer, took};
    }

    PtyPair pty_;
    SerialPort port_;
};

TEST_F(SerialIo, SilentReadSucceedsWithNothingAfterTheTimeout) {
    OpenAt(9600, 200);
    const ReadResult result = ReadOnce(1024);
    EXPECT_EQ(result.ok, 1);
    EXPECT_TRUE(result.bytes.empty());
    EXPECT_GE(result.took, 200ms);
    EXPECT_LT(result.took, 200ms + kSlack);
}

TEST_F(SerialIo, ReadEndsWhenTheBufferIsFull) {
    FakeModule fake(pty_.MasterFd());
    OpenAt(9600, 2000);
    fake.Send(Numbered(20));
    ASSERT_TRUE(pty_.WaitSlaveQueued(20, 2s));

    const ReadResult first = ReadOnce(8);
    EXPECT_EQ(first.ok, 1);
    EXPECT_EQ(first.bytes, Bytes(Numbered(8)));
    EXPECT_LT(first.took, 1s);
    const ReadResult second = ReadOnce(8);
    EXPECT_EQ(second.bytes, (Bytes{8, 9, 10, 11, 12, 13, 14, 15}));
}

// At 9600 baud the interval is 41 ms: a 300 ms pause inside the answer ends
// the read with the first part, long before the 2 s total.
TEST_F(SerialIo, ReadEndsAtAGapLongerThanTheInterval) {
    FakeModule fake(pty_.MasterFd(), 9600);
    const Bytes answer = Numbered(20);
    fake.Expect(answer, Delivery().Split(8, 300ms));
    OpenAt(9600, 2000);
    WriteRequest();

    const ReadResult first = ReadOnce(1024);
    EXPECT_EQ(first.ok, 1);
    EXPECT_EQ(first.bytes, Bytes(answer.begin(), answer.begin() + 8));
    EXPECT_LT(first.took, 1s);
    const ReadResult rest = ReadOnce(1024);
    EXPECT_EQ(rest.bytes, Bytes(answer.begin() + 8, answer.end()));
}

// The interval only runs once a byte has come: a late answer is read whole.
TEST_F(SerialIo, IntervalDoesNotRunBeforeTheFirstByte) {
    FakeModule fake(pty_.MasterFd(), 9600);
    const Bytes answer = Numbered(10);
    fake.Expect(answer, Delivery().After(200ms));
    OpenAt(9600, 2000);
    WriteRequest();

    const ReadResult result = ReadOnce(1024);
    EXPECT_EQ(result.bytes, answer);
    EXPECT_GE(result.took, 150ms);
    EXPECT_LT(result.took, 1s);
}

// At 1200 baud bytes come every 8.3 ms, well inside the 333 ms interval: only
// the total time-out ends the read of this 100-byte stream (833 ms long).
TEST_F(SerialIo, TotalTimeoutBoundsATricklingStream) {
    FakeModule fake(pty_.MasterFd(), 1200);
    OpenAt(1200, 250);
    fake.Send(Numbered(100));

    const ReadResult result = ReadOnce(1024);
    EXPECT_EQ(result.ok, 1);
    EXPECT_GT(result.bytes.size(), 0u);
    EXPECT_LT(result.bytes.size(), 100u);
    EXPECT_EQ(result.bytes, Bytes(Numbered(result.bytes.size())));
    EXPECT_GE(result.took, 250ms);
    EXPECT_LT(result.took, 250ms + kSlack);
}

// Read time-out 0: no total limit, so the read waits for the first byte.
TEST_F(SerialIo, ZeroTimeoutWaitsForTheFirstByte) {
    FakeModule fake(pty_.MasterFd(), 9600);
    const Bytes answer = Numbered(6);
    fake.Expect(answer, Delivery().After(300ms));
    OpenAt(9600, 0);
    WriteRequest();

    auto reading = std::async(std::launch::async, [this] { return ReadOnce(1024); });
    if (reading.wait_for(10s) != std::future_status::ready) {
        pty_.CloseMaster();  // the hang-up frees the read
        FAIL() << "read did not end after the answer";
    }
    const ReadResult result = reading.get();
    EXPECT_EQ(result.bytes, answer);
    EXPECT_GE(result.took, 250ms);
}

TEST_F(SerialIo, WritePurgesStaleInputFirst) {
    FakeModule fake(pty_.MasterFd());
    OpenAt(9600, 500);
    fake.Send({0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
    ASSERT_TRUE(fake.WaitOutputDone(2s));
    ASSERT_TRUE(pty_.WaitSlaveQueued(5, 2s));

    const Bytes answer = {0xAB, 0xD1, 0x12, 0x34, 0x00, 0x10, 0x01, 0x02, 0x03, 0xBA};
    fake.Expect(answer);
    WriteRequest();
    ASSERT_TRUE(fake.WaitForRequests(1, 2s));
    EXPECT_EQ(fake.Requests()[0].bytes, kRequest);
    EXPECT_EQ(ReadOnce(1024).bytes, answer);
}

TEST_F(SerialIo, SignalsDoNotCutAReadShort) {
    OpenAt(9600, 300);
    struct sigaction quiet {};
    quiet.sa_handler = [](int) {};
    sigemptyset(&quiet.sa_mask);
    quiet.sa_flags = 0;  // no SA_RESTART: poll() sees EINTR
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGALRM, &quiet, &previous), 0);
    itimerval every10ms{{0, 10000}, {0, 10000}};
    ASSERT_EQ(setitimer(ITIMER_REAL, &every10ms, nullptr), 0);

    const ReadResult result = ReadOnce(1024);

    itimerval off{};
    setitimer(ITIMER_REAL, &off, nullptr);
    sigaction(SIGALRM, &previous, nullptr);
    EXPECT_EQ(result.ok, 1);
    EXPECT_GE(result.took, 300ms);
    EXPECT_LT(result.took, 300ms + kSlack);
}

TEST_F(SerialIo, HangUpFailsReadAndWriteButLeavesThePortOpen) {
    OpenAt(9600, 2000);
    pty_.CloseMaster();
    const ReadResult result = ReadOnce(1024);
    EXPECT_EQ(result.ok, 0);
    EXPECT_LT(result.took, 1s);
    std::uint32_t written = 0;
    EXPECT_EQ(port_.Write(kRequest.data(), static_cast<std::uint32_t>(kRequest.size()), written), 0);
    EXPECT_TRUE(port_.IsOpen());
}

// Nobody drains the line: the write stops at its 3 s time-out and still
// reports success, with the count that got out.
TEST_F(SerialIo, WriteCutShortByItsTimeoutStillSucceeds) {
    OpenAt(9600, 500);
    const Bytes big(1 << 20, 0x55);
    std::uint32_t written = 0;
    const auto start = Clock::now();
    EXPECT_EQ(port_.Write(big.data(), static_cast<std::uint32_t>(big.size()), written), 1);
    const auto took = Clock::now() - start;
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
    EXPECT_GE(took, std::chrono::milliseconds(kWriteTimeoutMs));
    EXPECT_LT(took, std::chrono::milliseconds(kWriteTimeoutMs) + kSlack);
}

}  // namespace
}  // namespace qrv
