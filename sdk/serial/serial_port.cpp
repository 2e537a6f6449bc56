#include "serial/serial_port.h"

#include <cwchar>
#include <limits>

namespace qrv {

namespace {

constexpr std::uint32_t kReadTotalMultiplier = 0;
constexpr std::uint32_t kWriteTotalMultiplier = 0;
// The line's DTR is always held low: the module does not use it.
constexpr std::uint8_t kDtrDisabled = 0;

std::uint8_t LowByte(std::uint32_t value) { return static_cast<std::uint8_t>(value & 0xFFu); }

// Length of `path`, or `limit` when it is that long or longer.
std::size_t BoundedLength(const wchar_t* path, std::size_t limit) {
    std::size_t length = 0;
    while (length < limit && path[length] != L'\0') ++length;
    return length;
}

}  // namespace

std::uint32_t ReadIntervalForBaud(std::uint32_t baudRate) {
    // No character time at all: the longest interval there is.
    if (baudRate == 0) return std::numeric_limits<std::uint32_t>::max();
    // Milliseconds for 4 x 10 characters of 10 bits. The product is rounded
    // to single precision before truncation, so rates dividing 400000 exactly
    // (8000 baud: 50 ms) do not lose a millisecond to the double's rounding.
    const auto ms = static_cast<float>(1.0 / baudRate * 10 * 10 * 1000 * 4);
    if (ms < 1.0f) return 1;
    return static_cast<std::uint32_t>(ms);
}

SerialPort::~SerialPort() { Close(); }

int SerialPort::Refuse(Reason reason, std::string detail) {
    fault_ = Failure(reason, std::move(detail));
    return 0;
}

bool SerialPort::Usable(bool haveBuffer) {
    fault_ = {};
    if (!backend_.IsOpen()) return Refuse(Reason::PortNotOpen, "the port is not open") != 0;
    if (!lost_.Ok()) {
        fault_ = lost_;
        return false;
    }
    if (!haveBuffer) return Refuse(Reason::BadArgument, "no buffer given") != 0;
    return true;
}

void SerialPort::TakeFault() {
    fault_ = backend_.LastFault();
    if (fault_.reason != Reason::PortLost || !lost_.Ok()) return;
    lost_ = fault_;
    // The adapter is gone; its name may come back as another one's.
    backend_.ReleaseLockFile();
}

int SerialPort::Open(const wchar_t* path, std::uint32_t baudRate, std::uint32_t dataBits, std::uint32_t parity,
                     std::uint32_t stopBits, std::uint32_t /*reserved*/, std::uint32_t rtsControl,
                     std::uint32_t ctsOutFlow, std::uint32_t dsrOutFlow, std::uint32_t readTimeoutMs) {
    Close();
    fault_ = {};
    if (path == nullptr) return Refuse(Reason::BadArgument, "no port path given");

    // A path that does not fit the stored copy is refused rather than cut
    // short: a truncated path could name another device.
    const std::size_t length = BoundedLength(path, kPortPathCapacity);
    if (length >= kPortPathCapacity) {
        portPath_[0] = L'\0';
        return Refuse(Reason::BadArgument, Printf("a port path of %zu characters or more; at most %zu are taken",
                                                  kPortPathCapacity, kPortPathCapacity - 1));
    }
    std::wmemcpy(portPath_, path, length + 1);

    const NativePath devicePath = DevicePathFromWide(portPath_);
    if (devicePath.empty()) return Refuse(Reason::BadArgument, "the port path is empty or not valid Unicode");
    if (!backend_.OpenDevice(devicePath)) {
        TakeFault();
        return 0;
    }

    settings_ = LineSettings{};
    settings_.baudRate = baudRate;
    settings_.dataBits = LowByte(dataBits);
    settings_.parity = LowByte(parity);
    settings_.stopBits = LowByte(stopBits);
    settings_.dtrControl = kDtrDisabled;
    settings_.rtsControl = static_cast<std::uint8_t>(rtsControl & 3u);
    settings_.ctsOutFlow = static_cast<std::uint8_t>(ctsOutFlow & 1u);
    settings_.dsrOutFlow = static_cast<std::uint8_t>(dsrOutFlow & 1u);
    if (!backend_.ApplySettings(settings_)) {
        TakeFault();
        backend_.CloseDevice();
        return 0;
    }

    // Neither of these can make the port unusable; their failures are ignored.
    backend_.SetQueueSizes(kQueueSize, kQueueSize);
    timeouts_.readIntervalMs = ReadIntervalForBaud(baudRate);
    timeouts_.readTotalMultiplier = kReadTotalMultiplier;
    timeouts_.readTotalConstantMs = readTimeoutMs;
    timeouts_.writeTotalMultiplier = kWriteTotalMultiplier;
    timeouts_.writeTotalConstantMs = kWriteTimeoutMs;
    backend_.ApplyTimeouts(timeouts_);

    backend_.Purge();
    open_.store(true, std::memory_order_release);
    if (observer_ != nullptr && !backend_.OpenNote().empty()) observer_->OnNote(backend_.OpenNote());
    return 1;
}

void SerialPort::Close() {
    open_.store(false, std::memory_order_release);
    backend_.CloseDevice();
    lost_ = {};
}

int SerialPort::Write(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t& written) {
    written = 0;
    if (!Usable(buffer != nullptr || length == 0)) return 0;
    // Whatever an earlier exchange left behind must not mix into this one.
    backend_.Purge();
    const bool ok = backend_.Write(buffer, length, written);
    if (written > 0 && observer_ != nullptr) observer_->OnTraffic(LineDirection::Written, buffer, written);
    TakeFault();
    return ok ? 1 : 0;
}

int SerialPort::Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& received) {
    received = 0;
    if (!Usable(buffer != nullptr || capacity == 0)) return 0;
    const bool ok = backend_.Read(buffer, capacity, received);
    if (received > 0 && observer_ != nullptr) observer_->OnTraffic(LineDirection::Read, buffer, received);
    TakeFault();
    return ok ? 1 : 0;
}

bool SerialPort::Sleep(std::uint32_t milliseconds) {
    fault_ = {};
    if (!lost_.Ok()) {
        fault_ = lost_;
        return false;
    }
    const bool ok = backend_.Sleep(milliseconds);
    TakeFault();
    return ok;
}

}  // namespace qrv
