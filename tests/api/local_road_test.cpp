// The local road through the exported interface, with the protocol's real
// pauses: every frame on the wire, the waits between them, results and codes.
// Each case runs in a process of its own (ctest), so the library's global
// state starts fresh.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "device/module_answers.h"
#include "qrvlink/qrvlink.h"
#include "support/pty_pair.h"

using namespace qrv::test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kBaud = 9600;
// Requests are stamped by the fake's thread when it sees their first byte.
constexpr auto kStampSlack = 5ms;

class LocalRoad : public ::testing::Test {
protected:
    void Open() {
        ASSERT_EQ(Q_OpenCom(pty_.SlavePathWide().c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, 300), 1);
    }
    void Load() {
        fake_.Expect(BaseInfoAnswer(SampleBase()));
        fake_.Expect(PropertyAnswer(SampleBase().NetAddr, SampleProperty()));
        ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    }
    Bytes RequestBytes(std::size_t index) const {
        const auto requests = fake_.Requests();
        return index < requests.size() ? requests[index].bytes : Bytes{};
    }
    Clock::duration Between(std::size_t first, std::size_t second) const {
        const auto requests = fake_.Requests();
        return requests.at(second).time - requests.at(first).time;
    }
    void TearDown() override { Q_CloseCom(); }

    PtyPair pty_;
    FakeModule fake_{pty_.MasterFd(), kBaud};
};

}  // namespace

TEST_F(LocalRoad, WholeRoadPutsTheCommandTableOnTheWireWithItsPauses) {
    Open();
    EXPECT_EQ(Q_GetLastError(), 0);

    // Load: identity, 100 ms, record, 100 ms.
    fake_.Expect(BaseInfoAnswer(SampleBase()));
    fake_.Expect(PropertyAnswer(SampleBase().NetAddr, SampleProperty()));
    ModuleBase base{};
    ModuleProperty property{};
    const auto loadStart = Clock::now();
    ASSERT_EQ(Q_QRV_GetPropertyAll(&base, &property), 1);
    EXPECT_GE(Clock::now() - loadStart, 200ms);
    EXPECT_GE(Between(0, 1), 100ms - kStampSlack);
    EXPECT_EQ(RequestBytes(0), (Bytes{0xAB, 0xD1, 0xBA}));
    EXPECT_EQ(RequestBytes(1), (Bytes{0xAB, 0xD2, 0x1A, 0x2B, 0x00, 0x34, 0xBA}));
    EXPECT_EQ(std::uint16_t(base.NetAddr), 0x1A2B);
    EXPECT_STREQ(property.DevName, "bench-1");

    // Set all + submit: write, acknowledgement, restart, then 400 ms.
    property.Channel = 15;
    property.LocalAddr = 0x2000;
    EXPECT_EQ(Q_QRV_SetLocalPropertyAll(&base, &property), 1);
    fake_.Expect(WriteAck());
    fake_.ExpectSilence();
    const auto submitStart = Clock::now();
    ASSERT_EQ(Q_QRV_SubmitInfo(), 1);
    EXPECT_GE(Clock::now() - submitStart, 400ms);
    EXPECT_EQ(RequestBytes(2).size(), 59u);
    EXPECT_EQ(RequestBytes(2)[6 + 33], 15);
    EXPECT_EQ(RequestBytes(3), (Bytes{0xAB, 0xD7, 0x1A, 0x2B, 0x00, 0x10, 0xBA}));

    // Restart alone: to the new LocalAddr, 400 ms.
    fake_.ExpectSilence();
    const auto resetStart = Clock::now();
    ASSERT_EQ(Q_QRV_ResetDev(), 1);
    EXPECT_GE(Clock::now() - resetStart, 400ms);
    EXPECT_EQ(RequestBytes(4), (Bytes{0xAB, 0xD7, 0x20, 0x00, 0x00, 0x10, 0xBA}));

    // Factory reset: 1000 ms before its answer is read, restart, 400 ms.
    fake_.Expect(FactoryResetAck());
    fake_.ExpectSilence();
    const auto factoryStart = Clock::now();
    ASSERT_EQ(Q_QRV_ResetToDefault(), 1);
    EXPECT_GE(Clock::now() - factoryStart, 1400ms);
    EXPECT_GE(Between(5, 6), 1000ms - kStampSlack);
    EXPECT_EQ(RequestBytes(5), (Bytes{0xAB, 0xDB, 0x20, 0x00, 0x00, 0x10, 0xBA}));
    EXPECT_EQ(RequestBytes(6), (Bytes{0xAB, 0xD7, 0x20, 0x00, 0x00, 0x10, 0xBA}));

    std::uint8_t channel = 0;
    EXPECT_EQ(Q_QRV_GetProperty(4, &channel, 1), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NOT_LOADED);
    EXPECT_EQ(fake_.Requests().size(), 7u);
}

TEST_F(LocalRoad, ErrorCodesAreClearedOrLeftAsEachExportSays) {
    EXPECT_EQ(Q_GetLastError(), 0);  // fresh library
    EXPECT_EQ(Q_QRV_LoadInfo(), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_PORT_NOT_OPEN);
    // Neither a reset nor a factory reset clears it.
    EXPECT_EQ(Q_QRV_ResetDev(), 0);
    EXPECT_EQ(Q_QRV_ResetToDefault(), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_PORT_NOT_OPEN);
    EXPECT_EQ(Q_QRV_SetLocalPropertyAll(nullptr, nullptr), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_PORT_NOT_OPEN);
    // Closing a closed port succeeds and clears.
    EXPECT_EQ(Q_CloseCom(), 1);
    EXPECT_EQ(Q_GetLastError(), 0);

    Open();
    std::uint8_t byte = 0;
    EXPECT_EQ(Q_QRV_GetProperty(3, &byte, 1), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NOT_LOADED);
    EXPECT_EQ(Q_QRV_SetProperty(3, &byte, 1), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NOT_LOADED);
    EXPECT_EQ(Q_QRV_SubmitInfo(), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NOT_LOADED);

    // A module that does not answer: 0 and no code.
    fake_.ExpectSilence();
    EXPECT_EQ(Q_QRV_LoadInfo(), 0);
    EXPECT_EQ(Q_GetLastError(), 0);

    Load();
    EXPECT_EQ(Q_QRV_SetProperty(3, &byte, 1), 1);
    EXPECT_EQ(Q_GetLastError(), 0);
    char tiny[2];
    EXPECT_EQ(Q_QRV_GetProperty(2, tiny, sizeof tiny), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_TEXT_TOO_LONG);
    EXPECT_EQ(Q_QRV_GetProperty(0, tiny, sizeof tiny), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NO_SUCH_PROPERTY);
}

TEST_F(LocalRoad, ClosedPortCallsReturnAtOnceAndKeepTheCache) {
    Open();
    Load();
    EXPECT_EQ(Q_CloseCom(), 1);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    const auto start = Clock::now();
    EXPECT_EQ(Q_QRV_ResetDev(), 0);
    EXPECT_EQ(Q_QRV_ResetToDefault(), 0);
    EXPECT_EQ(Q_QRV_SubmitInfo(), 0);
    EXPECT_LT(Clock::now() - start, 100ms);  // no pause is taken without a write

    // The cache outlives the port: property reads still answer from it.
    std::uint16_t addr = 0;
    EXPECT_EQ(Q_QRV_GetProperty(6, &addr, 2), 1);
    EXPECT_EQ(addr, 0x1A2B);
    ModuleBase base{};
    ModuleProperty property{};
    EXPECT_EQ(Q_QRV_GetPropertyAll(&base, &property), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_PORT_NOT_OPEN);
    EXPECT_EQ(std::uint16_t(base.NetAddr), 0x1A2B);  // buffers still filled from the cache
    EXPECT_STREQ(property.DevName, "bench-1");
}

TEST_F(LocalRoad, FailedOpenLeavesThePortClosedEvenIfOneWasOpen) {
    Open();
    EXPECT_EQ(Q_ComCheckOpen(), 1);
    EXPECT_EQ(Q_OpenCom(L"/dev/qrv-no-such-port", kBaud, 8, 0, 0, 0, 0, 0, 0, 200), 0);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
    EXPECT_EQ(Q_OpenCom(nullptr, kBaud, 8, 0, 0, 0, 0, 0, 0, 200), 0);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
}
