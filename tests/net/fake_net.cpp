#include "fake_net.h"

#include <cstring>

#include "records/module_records.h"

namespace qrv::test {

using namespace protocol;

void FakeNetTest::AddEntry(std::uint16_t addr, std::uint16_t type, std::uint8_t runState, int channel, int rate) {
    ::ModuleBase base{};
    base.NetAddr = addr;
    base.DevType = type;
    base.RunState = runState;
    dev_.Found.AppendIfNew(base, channel, rate);
}

void FakeNetTest::SetUp() {
    ASSERT_EQ(port_.Open(pty_.SlavePathWide().c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
    port_.SetObserver(&written_);
    waits_.settle = [this] { fake_.WaitBytesReceived(written_.count, std::chrono::seconds(2)); };
}

std::vector<Bytes> FakeNetTest::Frames() {
    // Not a command of either family: the fake cuts it by the silence after it.
    static const Bytes kMarker = {kConfigStart, 0x00, kConfigEnd};
    std::uint32_t written = 0;
    EXPECT_EQ(port_.Write(kMarker.data(), static_cast<std::uint32_t>(kMarker.size()), written), 1);
    ++markersSent_;
    std::vector<Bytes> frames;
    const auto deadline = FakeClock::now() + std::chrono::seconds(5);
    for (;;) {
        const auto requests = fake_.Requests();
        frames.clear();
        std::size_t markers = 0;
        for (const auto& request : requests) {
            if (request.bytes == kMarker)
                ++markers;
            else
                frames.push_back(request.bytes);
        }
        if (markers == markersSent_) return frames;
        if (FakeClock::now() > deadline) {
            ADD_FAILURE() << "the marker frame never reached the module";
            return frames;
        }
        fake_.WaitForRequests(requests.size() + 1, std::chrono::milliseconds(100));
    }
}

}  // namespace qrv::test
