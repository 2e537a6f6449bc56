// The local module's commands against a scripted module on a pty: the bytes
// on the wire, what is stored, and what a refused answer leaves alone.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "device/module_answers.h"
#include "device/qrv_dev.h"
#include "support/pty_pair.h"
#include "support/test_waits.h"

using namespace qrv;
using namespace qrv::test;
using namespace std::chrono_literals;

namespace {

// 9600 baud: a 41 ms read interval rides out scheduling hiccups on a busy machine.
constexpr std::uint32_t kBaud = 9600;

class LocalCommands : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(port_.Open(pty_.SlavePathWide().c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, 300), 1);
        port_.SetObserver(&written_);
        waits_.settle = [this] { fake_.WaitBytesReceived(written_.count, 2s); };
    }

    // Scripts a complete load of SampleBase/SampleProperty and runs it.
    void Load() {
        fake_.Expect(BaseInfoAnswer(SampleBase()));
        fake_.Expect(PropertyAnswer(SampleBase().NetAddr, SampleProperty()));
        ASSERT_TRUE(dev_.LoadInfo().Ok());
    }

    Bytes RequestBytes(std::size_t index) const {
        const auto requests = fake_.Requests();
        return index < requests.size() ? requests[index].bytes : Bytes{};
    }

    PtyPair pty_;
    FakeModule fake_{pty_.MasterFd(), kBaud};
    SerialPort port_;
    RecordedWaits waits_;  // fixed pauses are checked at full length in the api tests
    WrittenBytes written_;
    CQRVDev dev_{port_, waits_};
};

}  // namespace

TEST_F(LocalCommands, LoadReadsIdentityThenRecordAtTheAnsweredAddress) {
    Load();
    EXPECT_EQ(waits_.pauses, (std::vector<std::uint32_t>{100, 100}));
    EXPECT_EQ(RequestBytes(0), (Bytes{0xAB, 0xD1, 0xBA}));
    EXPECT_EQ(RequestBytes(1), (Bytes{0xAB, 0xD2, 0x1A, 0x2B, 0x00, 0x34, 0xBA}));
    EXPECT_EQ(dev_.Loaded, 1);
    EXPECT_EQ(std::uint16_t(dev_.ModuleBase.FwVersion), 0x0123);
    EXPECT_STREQ(dev_.CurProperty.DevName, "bench-1");
    EXPECT_EQ(std::uint16_t(dev_.CurProperty.RetryInterval), 300);
    EXPECT_EQ(std::memcmp(&dev_.CurProperty, &dev_.PendingProperty, sizeof(ModuleProperty)), 0);
}

TEST_F(LocalCommands, LoadOnClosedPortSendsNothing) {
    port_.Close();
    EXPECT_EQ(dev_.LoadInfo().reason, Reason::PortNotOpen);
    EXPECT_TRUE(fake_.Requests().empty());
}

TEST_F(LocalCommands, RefusedIdentityStopsTheLoad) {
    Bytes nine = BaseInfoAnswer(SampleBase());
    nine.pop_back();
    fake_.Expect(nine);
    const Outcome refused = dev_.LoadInfo();
    EXPECT_EQ(refused.reason, Reason::BadAnswer);
    EXPECT_EQ(refused.detail, "read-base-info answer of 9 bytes, expected 10");
    EXPECT_EQ(dev_.Loaded, 0);
    ASSERT_TRUE(fake_.WaitForRequests(1, 1s));
    EXPECT_EQ(fake_.Requests().size(), 1u);  // no record request follows
}

TEST_F(LocalCommands, ShortRecordIsRefusedButKeepsTheNewIdentity) {
    Load();
    ModuleBase moved = SampleBase();
    moved.NetAddr = 0x0777;
    Bytes shortRecord = PropertyAnswer(moved.NetAddr, SampleProperty());
    shortRecord.resize(protocol::kAnswerLenProperty - 1);
    fake_.Expect(BaseInfoAnswer(moved));
    fake_.Expect(shortRecord);
    const ModuleProperty before = dev_.CurProperty;
    EXPECT_EQ(dev_.LoadInfo().detail, "read-property answer of 62 bytes, expected at least 63");
    EXPECT_EQ(std::uint16_t(dev_.ModuleBase.NetAddr), 0x0777);
    EXPECT_EQ(dev_.Loaded, 1);
    EXPECT_EQ(std::memcmp(&dev_.CurProperty, &before, sizeof before), 0);
}

TEST_F(LocalCommands, AnswersThatDoNotArriveInOneReadAreRefused) {
    // Split by a pause longer than the read interval (41 ms at 9600).
    fake_.Expect(BaseInfoAnswer(SampleBase()), Delivery().Split(4, 120ms));
    EXPECT_EQ(dev_.LoadInfo().reason, Reason::BadAnswer);
    // Garbage in front: no resynchronisation on the start byte.
    fake_.Expect(BaseInfoAnswer(SampleBase()), Delivery().Garbage({0x00}));
    EXPECT_EQ(dev_.LoadInfo().reason, Reason::BadAnswer);
    // Later than the read time-out.
    fake_.Expect(BaseInfoAnswer(SampleBase()), Delivery().After(600ms));
    const Outcome silent = dev_.LoadInfo();
    EXPECT_EQ(silent.reason, Reason::NoAnswer);
    EXPECT_EQ(silent.detail, "read-base-info: no answer on " + pty_.SlavePath() + " at 9600 baud within 300 ms");
    EXPECT_EQ(dev_.Loaded, 0);
}

TEST_F(LocalCommands, StaleBytesArePurgedBeforeEachRequest) {
    fake_.Send({0xAB, 0xD1, 0x99, 0x99, 0, 0, 0, 0, 0, 0xBA});
    ASSERT_TRUE(pty_.WaitSlaveQueued(10, 1s));
    fake_.Expect(BaseInfoAnswer(SampleBase()));
    fake_.Expect(PropertyAnswer(SampleBase().NetAddr, SampleProperty()));
    ASSERT_TRUE(dev_.LoadInfo().Ok());
    EXPECT_EQ(std::uint16_t(dev_.ModuleBase.NetAddr), 0x1A2B);
}

TEST_F(LocalCommands, PropertyReadsTheLoadedRecordNotThePendingOne) {
    std::uint16_t word = 0;
    EXPECT_EQ(dev_.GetProperty(6, &word, 2).reason, Reason::NotLoaded);
    Load();
    ModuleProperty edited = SampleProperty();
    edited.LocalAddr = 0x0042;
    EXPECT_TRUE(dev_.SetLocalPropertyAll(&edited).Ok());
    EXPECT_TRUE(dev_.GetProperty(6, &word, 2).Ok());
    EXPECT_EQ(word, 0x1A2B);
    EXPECT_EQ(dev_.GetProperty(19, &word, 2).reason, Reason::NoSuchProperty);
    char name[4];
    EXPECT_EQ(dev_.GetProperty(1, name, sizeof name).reason, Reason::TextTooLong);
    EXPECT_EQ(dev_.GetProperty(1, nullptr, 64).reason, Reason::TextTooLong);
}

TEST_F(LocalCommands, SubmitWritesToOldAddressAndRestartsAtOldLocalAddr) {
    Load();
    ModuleProperty edited = SampleProperty();
    edited.LocalAddr = 0x0042;
    edited.Channel = 20;
    edited.FwVersion = 0x9999;  // read-only bytes never travel
    dev_.SetLocalPropertyAll(&edited);
    fake_.Expect(WriteAck());
    fake_.ExpectSilence();  // the restart frame has no answer
    ASSERT_TRUE(dev_.SubmitInfo().Ok());
    ASSERT_TRUE(fake_.WaitForRequests(4, 1s));

    const Bytes write = RequestBytes(2);
    ASSERT_EQ(write.size(), protocol::kLenWriteProperty);
    EXPECT_EQ(write[2], 0x1A);
    EXPECT_EQ(write[3], 0x2B);
    EXPECT_EQ(write[6 + 36], 0x00);  // LocalAddr, high byte first
    EXPECT_EQ(write[6 + 37], 0x42);
    EXPECT_EQ(write[58], 0xBA);
    EXPECT_EQ(RequestBytes(3), (Bytes{0xAB, 0xD7, 0x1A, 0x2B, 0x00, 0x10, 0xBA}));
    EXPECT_EQ(waits_.pauses.back(), 400u);  // after the restart frame

    EXPECT_EQ(std::uint16_t(dev_.ModuleBase.NetAddr), 0x0042);
    EXPECT_EQ(std::uint16_t(dev_.CurProperty.FwVersion), 0x9999);  // copied as the pending record held it
    std::uint16_t word = 0;
    EXPECT_TRUE(dev_.GetProperty(6, &word, 2).Ok());
    EXPECT_EQ(word, 0x0042);
}

TEST_F(LocalCommands, RefusedSubmitSendsNoRestartAndStoresNothing) {
    Load();
    ModuleProperty edited = SampleProperty();
    edited.LocalAddr = 0x0042;
    dev_.SetLocalPropertyAll(&edited);
    fake_.Expect(WriteAck(1));
    const Outcome refused = dev_.SubmitInfo();
    EXPECT_EQ(refused.reason, Reason::Refused);
    EXPECT_EQ(refused.detail, "write-property refused by the module: status 0x01");
    EXPECT_EQ(std::uint16_t(dev_.CurProperty.LocalAddr), 0x1A2B);
    EXPECT_EQ(std::uint16_t(dev_.ModuleBase.NetAddr), 0x1A2B);
    EXPECT_FALSE(fake_.WaitForRequests(4, 100ms));
}

TEST_F(LocalCommands, SubmitBeforeLoadIsRefusedWithNotLoaded) {
    EXPECT_EQ(dev_.SubmitInfo().reason, Reason::NotLoaded);
    EXPECT_TRUE(fake_.Requests().empty());
}

TEST_F(LocalCommands, FactoryResetConfirmedClearsLoaded) {
    Load();
    fake_.Expect(FactoryResetAck());
    fake_.ExpectSilence();
    ASSERT_TRUE(dev_.ResetToDefault().Ok());
    ASSERT_TRUE(fake_.WaitForRequests(4, 1s));
    EXPECT_EQ(waits_.pauses, (std::vector<std::uint32_t>{100, 100, 1000, 400}));
    EXPECT_EQ(RequestBytes(2), (Bytes{0xAB, 0xDB, 0x1A, 0x2B, 0x00, 0x10, 0xBA}));
    EXPECT_EQ(RequestBytes(3), (Bytes{0xAB, 0xD7, 0x1A, 0x2B, 0x00, 0x10, 0xBA}));
    EXPECT_EQ(dev_.Loaded, 0);
    std::uint8_t byte = 0;
    EXPECT_EQ(dev_.GetProperty(3, &byte, 1).reason, Reason::NotLoaded);
}

TEST_F(LocalCommands, FactoryResetRefusedKeepsLoadedAndSendsNoRestart) {
    Load();
    fake_.Expect(FactoryResetAck(1));
    EXPECT_EQ(dev_.ResetToDefault().reason, Reason::Refused);
    EXPECT_EQ(dev_.Loaded, 1);
    EXPECT_FALSE(fake_.WaitForRequests(4, 100ms));
}

TEST_F(LocalCommands, ResetAddressesTheConfiguredLocalAddr) {
    Load();
    dev_.ModuleBase.NetAddr = 0x5555;  // ResetDev does not use the identity's address
    fake_.ExpectSilence();
    EXPECT_TRUE(dev_.ResetDev().Ok());
    ASSERT_TRUE(fake_.WaitForRequests(3, 1s));
    EXPECT_EQ(RequestBytes(2), (Bytes{0xAB, 0xD7, 0x1A, 0x2B, 0x00, 0x10, 0xBA}));
}
