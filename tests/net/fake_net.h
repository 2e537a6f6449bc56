// A device object on a pty with a scripted fake module at the other end, and
// the module's answers the network operations expect.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "device/qrv_dev.h"
#include "net_answers.h"
#include "serial/serial_port.h"
#include "support/fake_module.h"
#include "support/pty_pair.h"
#include "support/test_waits.h"

namespace qrv::test {

class FakeNetTest : public ::testing::Test {
protected:
    // Silence costs one full read time-out; long enough for a loaded machine
    // to get a scripted answer out in time.
    static constexpr std::uint32_t kReadTimeoutMs = 150;

    void SetUp() override;
    // Every request the device has written so far, in order. A marker sent
    // behind them through the same line shows that none is still on its way.
    std::vector<Bytes> Frames();
    // An entry found on channel/rate, as a search answer would make it.
    void AddEntry(std::uint16_t addr, std::uint16_t type, std::uint8_t runState, int channel, int rate);
    SearchEntry Entry(int index) const { return dev_.Found.View(index).value_or(SearchEntry{}); }

    PtyPair pty_;
    FakeModule fake_{pty_.MasterFd()};
    SerialPort port_;
    // The fixed pauses take no time; tests assert them as numbers.
    RecordedWaits waits_;
    WrittenBytes written_;
    CQRVDev dev_{port_, waits_};

private:
    std::size_t markersSent_ = 0;
};

}  // namespace qrv::test
