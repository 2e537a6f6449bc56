// Win32 serial backend. The comm API is where the line's semantics come
// from: the five time-outs, the purge and the synchronous reads and writes
// map one to one onto Win32 calls, so nothing is emulated here. A failed call
// leaves its reason with the GetLastError() value (LastFault) for the exports.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <chrono>
#include <thread>

#include "common/wide_utf8.h"
#include "serial/serial_backend.h"
#include "serial/serial_port.h"

namespace qrv {

namespace {

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr std::intptr_t kInvalidHandle = -1;  // INVALID_HANDLE_VALUE

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// How often a protocol pause looks at the line for a pulled adapter.
constexpr DWORD kHangUpCheckMs = 20;

// What a pulled USB adapter's driver answers to every call on the handle
// left behind.
bool IsGone(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_BAD_COMMAND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_GEN_FAILURE:
        case ERROR_INVALID_HANDLE:
        case ERROR_OPERATION_ABORTED:
        case ERROR_FILE_NOT_FOUND:
            return true;
        default:
            return false;
    }
}

Reason OpenFailureReason(DWORD error) {
    switch (error) {
        // A comm port is opened for exclusive use: another program holding it
        // makes CreateFileW answer "access denied".
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return Reason::PortBusy;
        default:
            // ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND and whatever else
            // keeps the path from opening: the detail has the system's words.
            return Reason::PortNotFound;
    }
}

std::string Utf8Path(const NativePath& path) {
    std::string utf8;
    WideToUtf8(path, utf8);
    return utf8;
}

bool ReadState(HANDLE handle, DCB& state) {
    state = DCB{};
    state.DCBlength = sizeof state;
    return GetCommState(handle, &state) != FALSE;
}

}  // namespace

SerialBackend::SerialBackend() = default;

// Windows opens a port exclusively by itself: there are no lock files.
SerialBackend::SerialBackend(std::string /*lockFolder*/) {}

SerialBackend::~SerialBackend() { CloseDevice(); }

void SerialBackend::ReleaseLockFile() {}

bool SerialBackend::OpenDevice(const NativePath& devicePath) {
    CloseDevice();
    fault_ = {};
    path_ = Utf8Path(devicePath);
    const char* path = path_.c_str();
    // Read and write, shared with nobody, existing devices only, synchronous
    // I/O. A port held by another program fails here with access denied.
    const HANDLE handle =
        CreateFileW(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const Reason reason = OpenFailureReason(error);
        const std::string words = SystemMessage(static_cast<int>(error));
        if (reason == Reason::PortBusy)
            return Fail(Failure(reason, Printf("open %s: %s (held by another program)", path, words.c_str()),
                                static_cast<int>(error)));
        return Fail(Failure(reason, Printf("open %s: %s", path, words.c_str()), static_cast<int>(error)));
    }
    // A disk file or a pipe opens just as well; only a comm device has a line
    // state to read.
    DCB state;
    if (!ReadState(handle, state)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        return Fail(Failure(Reason::PortNotSerial,
                            Printf("open %s: not a serial port (%s)", path, SystemMessage(static_cast<int>(error)).c_str()),
                            static_cast<int>(error)));
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

bool SerialBackend::ApplySettings(const LineSettings& settings) {
    fault_ = {};
    if (!IsOpen()) return Fail(Failure(Reason::PortNotOpen, "the port is not open"));
    const HANDLE handle = AsHandle(handle_);
    const auto refused = [this](const char* what, DWORD error) {
        return Fail(Failure(Reason::PortSettings,
                            Printf("%s: %s (%s)", path_.c_str(), what, SystemMessage(static_cast<int>(error)).c_str()),
                            static_cast<int>(error)));
    };
    DCB wanted;
    if (!ReadState(handle, wanted)) return refused("cannot read the line settings", GetLastError());
    // The codes are Win32's own (NOPARITY.., ONESTOPBIT.., DTR_CONTROL_..).
    wanted.BaudRate = settings.baudRate;
    wanted.ByteSize = settings.dataBits;
    wanted.Parity = settings.parity;
    wanted.StopBits = settings.stopBits;
    wanted.fBinary = TRUE;
    wanted.fDtrControl = settings.dtrControl & 3u;
    wanted.fRtsControl = settings.rtsControl & 3u;
    wanted.fOutxCtsFlow = settings.ctsOutFlow & 1u;
    wanted.fOutxDsrFlow = settings.dsrOutFlow & 1u;
    // Every other line option off: no parity check, no XON/XOFF either way,
    // no character replacement or stripping, no abort on error.
    wanted.fParity = FALSE;
    wanted.fOutX = FALSE;
    wanted.fInX = FALSE;
    wanted.fErrorChar = FALSE;
    wanted.fNull = FALSE;
    wanted.fAbortOnError = FALSE;
    wanted.fDsrSensitivity = FALSE;
    wanted.fTXContinueOnXoff = FALSE;
    if (!SetCommState(handle, &wanted)) return refused("the line settings were refused", GetLastError());
    // Some drivers take the nearest rate or size they have and still report
    // success: what they kept is what counts.
    DCB taken;
    if (!ReadState(handle, taken)) return refused("cannot read the line settings", GetLastError());
    if (taken.BaudRate != wanted.BaudRate || taken.ByteSize != wanted.ByteSize || taken.Parity != wanted.Parity ||
        taken.StopBits != wanted.StopBits)
        return Fail(Failure(Reason::PortSettings,
                            Printf("%s: the driver kept %lu baud, %u data bits, parity %u, stop bits %u instead of "
                                   "%lu, %u, %u, %u",
                                   path_.c_str(), static_cast<unsigned long>(taken.BaudRate), taken.ByteSize,
                                   taken.Parity, taken.StopBits, static_cast<unsigned long>(wanted.BaudRate),
                                   wanted.ByteSize, wanted.Parity, wanted.StopBits),
                            ERROR_INVALID_PARAMETER));
    return true;
}

void SerialBackend::SetQueueSizes(std::uint32_t inputBytes, std::uint32_t outputBytes) {
    if (IsOpen()) SetupComm(AsHandle(handle_), inputBytes, outputBytes);
}

// The driver keeps the time-outs and applies them to every read and write.
void SerialBackend::ApplyTimeouts(const Timeouts& timeouts) {
    if (!IsOpen()) return;
    COMMTIMEOUTS driver{};
    driver.ReadIntervalTimeout = timeouts.readIntervalMs;
    driver.ReadTotalTimeoutMultiplier = timeouts.readTotalMultiplier;
    driver.ReadTotalTimeoutConstant = timeouts.readTotalConstantMs;
    driver.WriteTotalTimeoutMultiplier = timeouts.writeTotalMultiplier;
    driver.WriteTotalTimeoutConstant = timeouts.writeTotalConstantMs;
    SetCommTimeouts(AsHandle(handle_), &driver);
}

void SerialBackend::Purge() {
    if (IsOpen()) PurgeComm(AsHandle(handle_), kPurgeAll);
}

void SerialBackend::CloseDevice() {
    if (!IsOpen()) return;
    CloseHandle(AsHandle(handle_));
    handle_ = kInvalidHandle;
}

bool SerialBackend::IsOpen() const { return handle_ != kInvalidHandle; }

bool SerialBackend::Write(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t& written) {
    written = 0;
    fault_ = {};
    if (!IsOpen()) return Fail(Failure(Reason::PortNotOpen, "the port is not open"));
    DWORD count = 0;
    if (!WriteFile(AsHandle(handle_), buffer, length, &count, nullptr)) {
        const DWORD error = GetLastError();
        return Fail(Failure(IsGone(error) ? Reason::PortLost : Reason::WriteFailed,
                            Printf("write %s: %s", path_.c_str(), SystemMessage(static_cast<int>(error)).c_str()),
                            static_cast<int>(error)));
    }
    written = count;
    // Cut short by the write time-out: a success with the smaller count.
    if (written < length)
        fault_ = Failure(Reason::WriteFailed, Printf("write %s: %lu of %u bytes left within the write time-out",
                                                     path_.c_str(), static_cast<unsigned long>(length - written), length));
    return true;
}

bool SerialBackend::Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& received) {
    received = 0;
    fault_ = {};
    if (!IsOpen()) return Fail(Failure(Reason::PortNotOpen, "the port is not open"));
    DWORD count = 0;
    // A read ended by its time-outs succeeds with what it has; a failing read
    // on a comm handle means the device is gone.
    if (!ReadFile(AsHandle(handle_), buffer, capacity, &count, nullptr)) {
        const DWORD error = GetLastError();
        return Fail(Failure(Reason::PortLost,
                            Printf("read %s: %s", path_.c_str(), SystemMessage(static_cast<int>(error)).c_str()),
                            static_cast<int>(error)));
    }
    received = count;
    return true;
}

// ClearCommError fails once the adapter behind the handle is gone: looked at
// every few milliseconds, it ends a pause on a pulled adapter.
bool SerialBackend::Sleep(std::uint32_t milliseconds) {
    fault_ = {};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        if (IsOpen()) {
            DWORD errors = 0;
            if (!ClearCommError(AsHandle(handle_), &errors, nullptr) && IsGone(GetLastError())) return HungUp();
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            deadline - now, std::chrono::milliseconds(IsOpen() ? kHangUpCheckMs : milliseconds)));
    }
}

bool SerialBackend::Fail(Outcome fault) {
    fault_ = std::move(fault);
    return false;
}

bool SerialBackend::HungUp() {
    return Fail(Failure(Reason::PortLost, Printf("%s: the device went away", path_.c_str()),
                        ERROR_DEVICE_NOT_CONNECTED));
}

NativePath DevicePathFromWide(const wchar_t* path) {
    if (path == nullptr || path[0] == L'\0') return {};
    NativePath devicePath(path);
    // COM10 and above open only through the device namespace; a bare name
    // (no folder, no drive) is taken as a device there.
    if (devicePath.find_first_of(L"\\/:") == NativePath::npos) devicePath.insert(0, L"\\\\.\\");
    return devicePath;
}

}  // namespace qrv
