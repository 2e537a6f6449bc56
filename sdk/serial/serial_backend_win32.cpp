// Win32 serial backend. The comm API is where the line's semantics come
// from: the five time-outs, the purge and the synchronous reads and writes
// map one to one onto Win32 calls, so nothing is emulated here. A failed call
// keeps its GetLastError() value (LastFailure) for the exports to report.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "serial/serial_backend.h"
#include "serial/serial_port.h"

namespace qrv {

namespace {

constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr std::intptr_t kInvalidHandle = -1;  // INVALID_HANDLE_VALUE

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Read before any other call can overwrite the thread's last error.
BackendFailure FailureOf(const char* call) { return BackendFailure{GetLastError(), call}; }

bool ReadState(HANDLE handle, DCB& state) {
    state = DCB{};
    state.DCBlength = sizeof state;
    return GetCommState(handle, &state) != FALSE;
}

}  // namespace

SerialBackend::~SerialBackend() { CloseDevice(); }

bool SerialBackend::OpenDevice(const NativePath& devicePath) {
    CloseDevice();
    lastFailure_ = {};
    // Read and write, shared with nobody, existing devices only, synchronous
    // I/O. A port held by another program fails here with access denied.
    const HANDLE handle =
        CreateFileW(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        lastFailure_ = FailureOf("CreateFileW");
        return false;
    }
    // A disk file or a pipe opens just as well; only a comm device has a line
    // state to read.
    DCB state;
    if (!ReadState(handle, state)) {
        lastFailure_ = FailureOf("GetCommState");
        CloseHandle(handle);
        return false;
    }
    handle_ = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

bool SerialBackend::ApplySettings(const LineSettings& settings) {
    if (!IsOpen()) return false;
    const HANDLE handle = AsHandle(handle_);
    DCB wanted;
    if (!ReadState(handle, wanted)) {
        lastFailure_ = FailureOf("GetCommState");
        return false;
    }
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
    if (!SetCommState(handle, &wanted)) {
        lastFailure_ = FailureOf("SetCommState");
        return false;
    }
    // Some drivers take the nearest rate or size they have and still report
    // success: what they kept is what counts.
    DCB taken;
    if (!ReadState(handle, taken)) {
        lastFailure_ = FailureOf("GetCommState");
        return false;
    }
    if (taken.BaudRate != wanted.BaudRate || taken.ByteSize != wanted.ByteSize || taken.Parity != wanted.Parity ||
        taken.StopBits != wanted.StopBits) {
        lastFailure_ = BackendFailure{ERROR_INVALID_PARAMETER, "SetCommState"};
        return false;
    }
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
    if (!IsOpen()) return false;
    DWORD count = 0;
    const BOOL ok = WriteFile(AsHandle(handle_), buffer, length, &count, nullptr);
    if (!ok) lastFailure_ = FailureOf("WriteFile");
    written = count;
    return ok != FALSE;
}

bool SerialBackend::Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& received) {
    received = 0;
    if (!IsOpen()) return false;
    DWORD count = 0;
    const BOOL ok = ReadFile(AsHandle(handle_), buffer, capacity, &count, nullptr);
    if (!ok) lastFailure_ = FailureOf("ReadFile");
    received = count;
    return ok != FALSE;
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
