// The platform seam under SerialPort: one implementation file per platform
// (serial_backend_posix.cpp, later serial_backend_win32.cpp), chosen by CMake.
#pragma once

#include <cstdint>
#include <string>

namespace qrv {

struct LineSettings;
struct Timeouts;

class SerialBackend {
public:
    SerialBackend() = default;
    ~SerialBackend();
    SerialBackend(const SerialBackend&) = delete;
    SerialBackend& operator=(const SerialBackend&) = delete;

    // Opens the device exclusively; false when absent, in use or not a port.
    bool OpenDevice(const std::string& devicePath);
    // Applies the line settings; false when the platform refuses any of them.
    bool ApplySettings(const LineSettings& settings);
    void ApplyTimeouts(const Timeouts& timeouts);
    // Throws away unread input and unsent output.
    void Purge();
    void CloseDevice();
    bool IsOpen() const;

    bool Write(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t& written);
    bool Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& received);

private:
    int fd_ = -1;
    bool isPty_ = false;
    std::uint32_t readIntervalMs_ = 0;
    std::uint32_t readTotalMs_ = 0;
    std::uint32_t writeTotalMs_ = 0;
};

// Maps a caller's path to the device path: a leading "\\.\" is dropped and a
// bare name ("ttyUSB0") lives under /dev. Returns "" for a path to refuse.
std::string DevicePathFromWide(const wchar_t* path);

}  // namespace qrv
