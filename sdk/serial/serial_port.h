// The SDK's one serial link. Windows comm semantics on every platform:
// every write purges both queues first, and a read ends when its capacity is
// reached, when the gap after a byte exceeds the read interval, or when the
// read time-out has passed since it began (a silent read succeeds with 0).
#pragma once

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <string>

#include "common/outcome.h"
#include "serial/serial_backend.h"

namespace qrv {

// Line-setting codes as callers pass them.
struct LineSettings {
    std::uint32_t baudRate = 9600;
    std::uint8_t dataBits = 8;    // 5..8
    std::uint8_t parity = 0;      // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0;    // 0 one, 1 one and a half, 2 two
    std::uint8_t dtrControl = 1;  // 0 disable, 1 enable, 2 handshake
    std::uint8_t rtsControl = 1;  // 0 disable, 1 enable, 2 handshake, 3 toggle
    std::uint8_t ctsOutFlow = 0;
    std::uint8_t dsrOutFlow = 0;
};

struct Timeouts {
    std::uint32_t readIntervalMs = 0xFFFFFFFF;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstantMs = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstantMs = 5000;
};

constexpr std::size_t kPortPathCapacity = 260;  // characters, terminator included
constexpr std::uint32_t kQueueSize = 1024;
constexpr std::uint32_t kWriteTimeoutMs = 3000;

// Forty character times of ten bits, at least 1 ms.
std::uint32_t ReadIntervalForBaud(std::uint32_t baudRate);

enum class LineDirection : std::int32_t { Written = 0, Read = 1 };

// Sees the port's traffic: every request as written and the bytes of every
// read as they arrived (one call per read that got any), on the calling thread.
class LineObserver {
public:
    virtual ~LineObserver() = default;
    virtual void OnTraffic(LineDirection direction, const std::uint8_t* bytes, std::size_t length) = 0;
    // A fact about the port that is no traffic ("held without a lock file").
    virtual void OnNote(const std::string& /*note*/) {}
};

// Every call that fails leaves LastFault() (reason, errno, detail). Once the
// device is lost (hang-up or I/O error: the adapter was pulled) every Read,
// Write and Sleep fails at once with that same fault until Close or Open.
class SerialPort {
public:
    SerialPort() = default;
    // Lock files in `lockFolder` instead of the system's ("" for none).
    explicit SerialPort(std::string lockFolder) : backend_(std::move(lockFolder)) {}
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Closes any open port first (even when this open fails). 1 when open and
    // configured. Only the low byte of dataBits/parity/stopBits, the low two
    // bits of rtsControl and the low bit of the flow flags are used.
    int Open(const wchar_t* path, std::uint32_t baudRate, std::uint32_t dataBits, std::uint32_t parity,
             std::uint32_t stopBits, std::uint32_t reserved, std::uint32_t rtsControl, std::uint32_t ctsOutFlow,
             std::uint32_t dsrOutFlow, std::uint32_t readTimeoutMs);
    void Close();
    // Safe from any thread, also while another one is in an exchange.
    bool IsOpen() const { return open_.load(std::memory_order_acquire); }

    // Purges both queues, then writes; 0 when closed or on a platform failure.
    int Write(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t& written);
    // Reads up to `capacity` bytes under the time-outs set by Open. A silent
    // read succeeds with 0; with readTimeoutMs 0 there is no total limit and
    // the read waits for ever for its first byte, as on Windows.
    int Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& received);
    // A protocol pause: waits `milliseconds`, but false at once when the
    // device is lost meanwhile (or was already).
    bool Sleep(std::uint32_t milliseconds);

    const Outcome& LastFault() const { return fault_; }
    bool Lost() const { return !lost_.Ok(); }
    // Null removes it. Set it only while no exchange runs.
    void SetObserver(LineObserver* observer) { observer_ = observer; }

    const wchar_t* PortPath() const { return portPath_; }
    // The device path the port was opened on (UTF-8), for detail lines.
    const std::string& DevicePath() const { return backend_.DevicePath(); }
    const LineSettings& Settings() const { return settings_; }
    const Timeouts& CurrentTimeouts() const { return timeouts_; }

private:
    int Refuse(Reason reason, std::string detail);
    // Open, not lost, and a buffer where one is needed; else the fault says why.
    bool Usable(bool haveBuffer);
    // Takes the backend's fault after a call; a lost device stays lost.
    void TakeFault();

    wchar_t portPath_[kPortPathCapacity] = {};
    Timeouts timeouts_;
    LineSettings settings_;
    SerialBackend backend_;
    std::atomic<bool> open_{false};
    Outcome fault_;
    Outcome lost_;
    LineObserver* observer_ = nullptr;
};

}  // namespace qrv
