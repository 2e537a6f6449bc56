// The fake module's request cutting, script order and output pacing, seen
// from a plain descriptor on the port's end of the pty.
#include "support/fake_module.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include "support/pty_pair.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;
using Clock = FakeClock;

class FakeModuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        port_ = open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(port_, 0);
    }
    void TearDown() override { close(port_); }

    void Send(const Bytes& bytes) { ASSERT_EQ(write(port_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

    // Everything that arrives until `count` bytes are in, each with its time.
    std::vector<std::pair<std::uint8_t, Clock::time_point>> Receive(std::size_t count) {
        std::vector<std::pair<std::uint8_t, Clock::time_point>> received;
        const auto deadline = Clock::now() + 5s;
        while (received.size() < count && Clock::now() < deadline) {
            pollfd entry{port_, POLLIN, 0};
            poll(&entry, 1, 100);
            std::uint8_t buffer[64];
            const ssize_t n = read(port_, buffer, sizeof buffer);
            for (ssize_t i = 0; i < n; ++i) received.emplace_back(buffer[i], Clock::now());
        }
        return received;
    }

    PtyPair pty_;
    int port_ = -1;
};

TEST_F(FakeModuleTest, CutsFramesThatArriveTogether) {
    FakeModule fake(pty_.MasterFd());
    Bytes firstRegionBlock(71, 0x00);
    firstRegionBlock[0] = 0xAB;
    firstRegionBlock[1] = 0xD9;
    firstRegionBlock[70] = 0xA5;
    Bytes secondRegionBlock = firstRegionBlock;
    secondRegionBlock.push_back(0xBA);

    Bytes stream = {0xAB, 0xD1, 0xBA, 0xAA, 0xD6, 0x12, 0x34, 0x55};
    stream.insert(stream.end(), firstRegionBlock.begin(), firstRegionBlock.end());
    stream.insert(stream.end(), secondRegionBlock.begin(), secondRegionBlock.end());
    stream.insert(stream.end(), {0x01, 0x02});  // no frame: cut by the silence after it
    Send(stream);

    ASSERT_TRUE(fake.WaitForRequests(5, 2s));
    const auto requests = fake.Requests();
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_EQ(requests[0].bytes, (Bytes{0xAB, 0xD1, 0xBA}));
    EXPECT_EQ(requests[1].bytes, (Bytes{0xAA, 0xD6, 0x12, 0x34, 0x55}));
    EXPECT_EQ(requests[2].bytes, firstRegionBlock);
    EXPECT_EQ(requests[3].bytes, secondRegionBlock);
    EXPECT_EQ(requests[4].bytes, (Bytes{0x01, 0x02}));
    EXPECT_FALSE(requests[0].scripted);
}

TEST_F(FakeModuleTest, AnswersInScriptOrderAndSilenceTakesATurn) {
    FakeModule fake(pty_.MasterFd());
    fake.Expect({0x11});
    fake.ExpectSilence();
    fake.Expect({0x33, 0x34}, Delivery().Garbage({0xEE}));
    for (int i = 0; i < 4; ++i) {
        Send({0xAB, 0xD1, 0xBA});
        ASSERT_TRUE(fake.WaitForRequests(static_cast<std::size_t>(i + 1), 2s));
        ASSERT_TRUE(fake.WaitOutputDone(2s));
    }
    const auto received = Receive(4);
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0].first, 0x11);
    EXPECT_EQ(received[1].first, 0xEE);
    EXPECT_EQ(received[2].first, 0x33);
    EXPECT_EQ(received[3].first, 0x34);
    const auto requests = fake.Requests();
    EXPECT_TRUE(requests[2].scripted);
    EXPECT_FALSE(requests[3].scripted);
    EXPECT_EQ(fake.PendingExpectations(), 0u);
}

TEST_F(FakeModuleTest, PacesBytesAtTheBaudRateAndHoldsTheGap) {
    FakeModule fake(pty_.MasterFd(), 9600);  // 1.04 ms a byte
    Bytes answer(60, 0x5A);
    fake.Expect(answer, Delivery().After(20ms).Split(30, 100ms));
    Send({0xAB, 0xD1, 0xBA});
    const auto received = Receive(answer.size());
    ASSERT_EQ(received.size(), answer.size());
    ASSERT_TRUE(fake.WaitForRequests(1, 1s));
    const auto request = fake.Requests()[0].time;

    // Due times are absolute, counted from the request: a late thread sends
    // in bursts but never early. 60 bytes take 62.5 ms.
    using std::chrono::microseconds;
    EXPECT_GE(received[0].second - request, 20ms + microseconds(1041));
    EXPECT_GE(received[29].second - request, 20ms + microseconds(30 * 1041));
    EXPECT_GE(received[30].second - request, 120ms + microseconds(31 * 1041));
    EXPECT_GE(received[59].second - request, 120ms + microseconds(60 * 1041));
    EXPECT_LT(received[59].second - request, 2s);
    // The pause is there (the reader may be late for the first part's end).
    EXPECT_GE(received[30].second - received[29].second, 40ms);
}

}  // namespace
}  // namespace qrv::test
