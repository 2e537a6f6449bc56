#include "fake_net.h"

#include <cstring>

#include "records/module_records.h"

namespace qrv::test {

using namespace protocol;

namespace {
void PutWord(Bytes& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}
}  // namespace

void TestDevice::AddEntry(std::uint16_t addr, std::uint16_t type, std::uint8_t runState, int channel, int rate) {
    ::ModuleBase base{};
    base.NetAddr = addr;
    base.DevType = type;
    base.RunState = runState;
    AppendIfNew(base, channel, rate);
}

Bytes ToBytes(const Frame& frame) { return Bytes(frame.bytes.begin(), frame.bytes.begin() + frame.size); }

Bytes TuneAck(std::uint8_t status) { return {kConfigStart, kCmdTuneRadio, status, kConfigEnd}; }

Bytes SearchAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t runState) {
    Bytes bytes{kConfigStart, command};
    PutWord(bytes, addr);
    PutWord(bytes, type);
    bytes.push_back(runState);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes PropertyAnswer(std::uint16_t addr, const ModuleProperty& record) {
    Bytes bytes{kConfigStart, kCmdReadProperty};
    PutWord(bytes, addr);
    bytes.push_back(kPropertyOffsetAll);
    bytes.push_back(kPropertyWireCount);
    std::uint8_t wire[kPropertySize];
    PropertyToWire(record, wire);
    bytes.insert(bytes.end(), wire, wire + kPropertySize);
    return bytes;
}

Bytes WriteAck(std::uint16_t addr, std::uint8_t status) {
    Bytes bytes{kConfigStart, kCmdWriteProperty};
    PutWord(bytes, addr);
    bytes.push_back(status);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes StepAnswer(std::uint8_t command, std::uint16_t addr, std::uint16_t type, std::uint8_t status) {
    Bytes bytes{kConfigStart, command};
    PutWord(bytes, addr);
    PutWord(bytes, type);
    bytes.push_back(status);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes BlockAck(std::uint16_t addr, std::uint16_t offset, std::uint8_t status) {
    Bytes bytes{kConfigStart, kCmdFirmwareBlock};
    PutWord(bytes, addr);
    PutWord(bytes, offset);
    bytes.push_back(status);
    bytes.push_back(kConfigEnd);
    return bytes;
}

Bytes IoWriteAck(std::uint8_t command, std::uint16_t addr, std::uint8_t status) {
    Bytes bytes{kIoStart, command};
    PutWord(bytes, addr);
    bytes.push_back(status);
    bytes.push_back(kIoEnd);
    return bytes;
}

Bytes IoInputsAnswer(std::uint16_t addr, std::uint8_t lines) {
    Bytes bytes{kIoStart, kIoCmdReadInputs};
    PutWord(bytes, addr);
    bytes.push_back(lines);
    bytes.push_back(kIoEnd);
    return bytes;
}

Bytes AdAnswer(std::uint16_t addr, const std::vector<std::uint8_t>& block8) {
    Bytes bytes{kIoStart, kIoCmdReadAd};
    PutWord(bytes, addr);
    bytes.insert(bytes.end(), block8.begin(), block8.end());
    bytes.push_back(kIoEnd);
    return bytes;
}

ModuleProperty SampleRecord(std::uint16_t localAddr, std::uint8_t channel, std::uint8_t rate) {
    ModuleProperty record{};
    std::strcpy(record.DevName, "far-node");
    std::strcpy(record.Password, "1234");
    record.WorkMode = 2;
    record.Channel = channel;
    record.NetId = 0x0C0D;
    record.LocalAddr = localAddr;
    record.DestAddr = 0x0001;
    record.AirRate = rate;
    record.TxPower = 0x12;
    record.RetryCount = 3;
    record.RetryInterval = 500;
    record.UartBaud = 5;
    record.UartDataBits = 8;
    record.RunState = 0xAA;
    record.DevType = 0x0012;
    record.FwVersion = 0x0123;
    return record;
}

void CapturedMessages::Handler(int kind, const char* text, void* user) {
    static_cast<CapturedMessages*>(user)->shown.emplace_back(kind, text);
}

void FakeNetTest::SetUp() {
    ASSERT_EQ(port_.Open(pty_.SlavePathWide().c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
    dev_.Port = &port_;
    // The fixed pauses are protocol facts tested with their real length where
    // it matters; elsewhere they only slow the suite down.
    dev_.Waits.scale = 0.01;
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
