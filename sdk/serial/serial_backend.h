// The platform seam under SerialPort: one implementation file per platform
// (serial_backend_posix.cpp, serial_backend_win32.cpp), chosen by CMake.
// It carries Windows comm semantics: the time-outs below mean what
// SetCommTimeouts gives them, whatever the platform underneath.
//
// Every call that fails leaves LastFault(): the reason, the system's error
// number and one English line naming the device and the facts. The reasons
// a backend gives: OpenDevice PortNotFound, PortPermission, PortBusy (with
// the holding process when it can be found) or PortNotSerial;
// ApplySettings PortSettings; Write WriteFailed or PortLost; Read and Sleep
// PortLost. PortLost means the device reported a hang-up or an I/O error
// (the adapter was pulled): a call that sees it returns at once.
#pragma once

#include <cstdint>
#include <string>

#include "common/outcome.h"
#ifndef _WIN32
#include "serial/uucp_lock.h"
#endif

namespace qrv {

struct LineSettings;
struct Timeouts;

// A device path in the platform's own form: UTF-16 for CreateFileW on
// Windows (no round trip through another encoding), UTF-8 bytes elsewhere.
#ifdef _WIN32
using NativePath = std::wstring;
#else
using NativePath = std::string;
#endif

class SerialBackend {
public:
    // POSIX: lock files go to the system's lock folder (UucpLock).
    SerialBackend();
    // POSIX: lock files go to `lockFolder` ("" for none); Windows ignores it.
    explicit SerialBackend(std::string lockFolder);
    ~SerialBackend();
    SerialBackend(const SerialBackend&) = delete;
    SerialBackend& operator=(const SerialBackend&) = delete;

    // Opens the device exclusively (closing any device held before); false
    // when absent, in use, inaccessible or not a serial port. POSIX: in use
    // means a live process's lock file, a flock, or another process's
    // TIOCEXCL (which root could otherwise open through).
    bool OpenDevice(const NativePath& devicePath);
    // What the last successful open wants the trace to know ("" for
    // nothing): that the port is held without a lock file, and why.
    const std::string& OpenNote() const { return openNote_; }
    // Gives up the lock file of a lost device (its name may come back as
    // another adapter's) while the descriptor stays until CloseDevice.
    void ReleaseLockFile();
    // Applies the line settings; false when the platform refuses any of them.
    bool ApplySettings(const LineSettings& settings);
    // Advisory driver queue sizes; some platforms size their queues themselves.
    void SetQueueSizes(std::uint32_t inputBytes, std::uint32_t outputBytes);
    // Read total = multiplier x capacity + constant (likewise for writes).
    // Both totals 0 with an interval set: a read waits for ever for its first
    // byte. Interval 0xFFFFFFFF with both totals 0: a read returns at once with
    // what is queued. Interval 0: no gap limit.
    void ApplyTimeouts(const Timeouts& timeouts);
    // Throws away unread input and unsent output.
    void Purge();
    void CloseDevice();
    bool IsOpen() const;

    // Success also when cut short by the write time-out (`written` tells,
    // and LastFault() says WriteFailed).
    bool Write(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t& written);
    // Success also when a time-out ends the read, with any count down to 0.
    bool Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& received);
    // Waits `milliseconds` (a protocol pause) but returns false at once when
    // the open device hangs up meanwhile (PortLost). A closed device just waits.
    bool Sleep(std::uint32_t milliseconds);

    // Why the last failing call failed; Reason::None after a success.
    const Outcome& LastFault() const { return fault_; }
    // The device path last opened, in UTF-8 (for messages).
    const std::string& DevicePath() const { return path_; }

private:
    bool Fail(Outcome fault);
    bool HungUp();

    Outcome fault_;
    std::string path_;  // the device path, for the detail lines
    std::string openNote_;
#ifndef _WIN32
    UucpLock lockFile_;
    bool setExclusive_ = false;  // TIOCEXCL is ours to clear at close
#endif
    // A file descriptor, or a HANDLE on Windows; -1 is invalid on both.
    std::intptr_t handle_ = -1;
    bool isPseudoTerminal_ = false;
    std::uint32_t baudRate_ = 0;
    std::uint32_t readIntervalMs_ = 0;
    std::uint32_t readTotalMultiplier_ = 0;
    std::uint32_t readTotalConstantMs_ = 0;
    std::uint32_t writeTotalMultiplier_ = 0;
    std::uint32_t writeTotalConstantMs_ = 0;
};

// Maps a caller's path to the device path. POSIX: a leading "\\.\" is
// dropped, a bare name ("ttyUSB0") lives under /dev, and the result is UTF-8
// whatever the locale. Windows: a bare name ("COM12") gets the "\\.\" of the
// device namespace. Returns "" for a path to refuse (null, empty, not valid
// Unicode).
NativePath DevicePathFromWide(const wchar_t* path);

}  // namespace qrv
