// POSIX serial backend: termios for the line, poll() deadlines for the
// Windows read and write time-outs. The port is opened non-blocking with
// VMIN=1/VTIME=0, so an empty queue answers EAGAIN and read() == 0 is a
// hang-up; all waiting happens in poll() against the monotonic clock.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>
#include <string_view>
#include <thread>

#include "common/wide_utf8.h"
#include "serial/port_facts.h"
#include "serial/serial_backend.h"
#include "serial/serial_port.h"

namespace qrv {

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

constexpr std::uint32_t kMaxDword = 0xFFFFFFFF;
// Longest total time-out honoured; larger products saturate here (~49 days).
constexpr std::uint64_t kMaxTotalMs = kMaxDword;
constexpr unsigned kBitsPerCharacter = 10;

// Unix98 pseudo-terminal slaves have majors 136 to 143.
constexpr unsigned kPtySlaveMajorFirst = 136;
constexpr unsigned kPtySlaveMajorLast = 143;

enum class Parity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class StopBits : std::uint8_t { One = 0, OneAndHalf = 1, Two = 2 };
enum class LineControl : std::uint8_t { Disable = 0, Enable = 1, Handshake = 2, Toggle = 3 };

template <typename Call>
auto RetryOnEintr(Call call) {
    decltype(call()) result;
    do {
        result = call();
    } while (result == -1 && errno == EINTR);
    return result;
}

struct BaudEntry {
    std::uint32_t rate;
    speed_t code;
};

// The numeric values of Bxxx differ between systems: map through the names.
constexpr BaudEntry kBaudTable[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},
#ifdef B460800
    {460800, B460800},
#endif
#ifdef B500000
    {500000, B500000},   {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000},
#endif
#ifdef B2500000
    {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
#endif
};

std::optional<speed_t> SpeedCode(std::uint32_t baudRate) {
    for (const BaudEntry& entry : kBaudTable) {
        if (entry.rate == baudRate) return entry.code;
    }
    return std::nullopt;
}

std::optional<tcflag_t> CharacterSize(std::uint8_t dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        case 8:
            return CS8;
        default:
            return std::nullopt;
    }
}

std::optional<tcflag_t> ParityFlags(std::uint8_t parity) {
    switch (static_cast<Parity>(parity)) {
        case Parity::None:
            return tcflag_t{0};
        case Parity::Odd:
            return tcflag_t{PARENB | PARODD};
        case Parity::Even:
            return tcflag_t{PARENB};
#ifdef CMSPAR
        // "Stick" parity: the parity bit is constant, 1 with PARODD, 0 without.
        case Parity::Mark:
            return tcflag_t{PARENB | CMSPAR | PARODD};
        case Parity::Space:
            return tcflag_t{PARENB | CMSPAR};
#endif
        default:
            return std::nullopt;
    }
}

std::optional<tcflag_t> StopBitFlags(std::uint8_t stopBits, std::uint8_t dataBits) {
    switch (static_cast<StopBits>(stopBits)) {
        case StopBits::One:
            return tcflag_t{0};
        case StopBits::Two:
            return tcflag_t{CSTOPB};
        // UARTs send 1.5 stop bits only for 5-bit characters, where CSTOPB means
        // 1.5; with longer characters there is no 1.5 to be had.
        case StopBits::OneAndHalf:
            if (dataBits == 5) return tcflag_t{CSTOPB};
            return std::nullopt;
        default:
            return std::nullopt;
    }
}

constexpr tcflag_t ParityMask() {
#ifdef CMSPAR
    return PARENB | PARODD | CMSPAR;
#else
    return PARENB | PARODD;
#endif
}

bool IsPseudoTerminal(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode)) return false;
    const unsigned deviceMajor = major(info.st_rdev);
    return deviceMajor >= kPtySlaveMajorFirst && deviceMajor <= kPtySlaveMajorLast;
}

// Pseudo-terminals (and some adapters) have no modem lines: ENOTTY, or
// EINVAL on older kernels. Every other error is a real failure.
bool ModemIoctlSucceeded(int result) { return result == 0 || errno == ENOTTY || errno == EINVAL; }

bool SetModemLine(int fd, int line, bool raised) {
    int bits = line;
    const unsigned long request = raised ? TIOCMBIS : TIOCMBIC;
    return ModemIoctlSucceeded(RetryOnEintr([&] { return ioctl(fd, request, &bits); }));
}

// Windows DTR/RTS modes on plain modem lines. Handshake raises the line (with
// CRTSCTS the kernel drives RTS itself); toggle, which Linux can only time on
// RS-485 hardware, leaves RTS low as it is between transmissions.
bool ApplyModemLines(int fd, const LineSettings& settings) {
    const auto dtr = static_cast<LineControl>(settings.dtrControl);
    const auto rts = static_cast<LineControl>(settings.rtsControl);
    const bool dtrRaised = dtr == LineControl::Enable || dtr == LineControl::Handshake;
    const bool rtsRaised = rts == LineControl::Enable || rts == LineControl::Handshake;
    return SetModemLine(fd, TIOCM_DTR, dtrRaised) && SetModemLine(fd, TIOCM_RTS, rtsRaised);
}

// Milliseconds until `deadline`, rounded up: rounding down would end a wait
// early and make the caller poll again for nothing.
int PollTimeoutMs(Clock::time_point now, Clock::time_point deadline) {
    const auto left = std::chrono::ceil<Milliseconds>(deadline - now).count();
    return static_cast<int>(std::clamp<std::int64_t>(left, 0, INT_MAX));
}

// Waits for `events` on `fd` until `deadline` (none: for ever). False when
// the device reports an error or hang-up; true when ready, on time-out and on
// EINTR alike: the caller re-examines its queue and its deadlines. With no
// events it waits for the hang-up alone.
bool WaitForDevice(int fd, short events, std::optional<Clock::time_point> deadline) {
    const int timeoutMs = deadline ? PollTimeoutMs(Clock::now(), *deadline) : -1;
    pollfd entry{fd, events, 0};
    const int result = poll(&entry, 1, timeoutMs);
    if (result < 0) return errno == EINTR;
    return (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0;
}

// An adapter pulled mid-operation shows as EIO (ENXIO, ENODEV on some
// drivers); a pty whose master closed, as EIO too.
bool IsGone(int error) { return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE; }

Reason OpenFailureReason(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
        case EROFS:
            return Reason::PortPermission;
        case EBUSY:
            return Reason::PortBusy;
        case EISDIR:
            return Reason::PortNotSerial;
        default:
            // ENOENT, ENODEV, ENXIO and whatever else keeps the path from
            // opening: the detail carries the system's own words.
            return Reason::PortNotFound;
    }
}

std::optional<Clock::time_point> TotalDeadline(Clock::time_point start, std::uint32_t multiplier,
                                               std::uint32_t constantMs, std::uint32_t count) {
    if (multiplier == 0 && constantMs == 0) return std::nullopt;
    const std::uint64_t total = std::uint64_t{multiplier} * count + constantMs;
    return start + Milliseconds(std::min(total, kMaxTotalMs));
}

// Linux write() returns once the bytes are in the driver; wait (within the
// write deadline) until they are on the wire, so that the next purge cannot
// throw away a request not yet sent. Returns the bytes still queued.
std::uint32_t WaitForOutputDrained(int fd, std::uint32_t baudRate, std::optional<Clock::time_point> deadline) {
    for (;;) {
        int pending = 0;
        if (ioctl(fd, TIOCOUTQ, &pending) != 0 || pending <= 0) return 0;
        const auto now = Clock::now();
        if (deadline && now >= *deadline) return static_cast<std::uint32_t>(pending);
        // Sleep about as long as the queued characters take to leave.
        const auto bitsPerSecond = std::max<std::uint32_t>(baudRate, 1);
        auto pause =
            Milliseconds(std::uint64_t{static_cast<unsigned>(pending)} * kBitsPerCharacter * 1000 / bitsPerSecond);
        pause = std::max(pause, Milliseconds(1));
        if (deadline) pause = std::min(pause, std::chrono::ceil<Milliseconds>(*deadline - now));
        std::this_thread::sleep_for(pause);
    }
}

}  // namespace

SerialBackend::SerialBackend() : lockFile_(UucpLock::SystemFolder()) {}

SerialBackend::SerialBackend(std::string lockFolder) : lockFile_(std::move(lockFolder)) {}

SerialBackend::~SerialBackend() { CloseDevice(); }

bool SerialBackend::Fail(Outcome fault) {
    fault_ = std::move(fault);
    if (fault_.facts.path.empty()) fault_.facts.path = path_;
    return false;
}

// EIO is what the next read or write would answer.
bool SerialBackend::HungUp() {
    return Fail(Failure(Reason::PortLost, Printf("%s: the device hung up", path_.c_str()), EIO));
}

void SerialBackend::ReleaseLockFile() { lockFile_.Release(); }

bool SerialBackend::OpenDevice(const std::string& devicePath) {
    CloseDevice();
    fault_ = {};
    openNote_.clear();
    path_ = devicePath;
    const char* path = devicePath.c_str();
    // The lock file first: a program that knows only lock files (minicom)
    // holds the port without any flock.
    if (Outcome claimed = lockFile_.Claim(devicePath); !claimed.Ok()) return Fail(std::move(claimed));
    openNote_ = lockFile_.Note();
    const auto failOpen = [this](Outcome fault) {
        lockFile_.Release();
        return Fail(std::move(fault));
    };
    FailureFacts facts;
    facts.path = devicePath;
    const int fd = RetryOnEintr([&] { return open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC); });
    if (fd < 0) {
        const int error = errno;
        const Reason reason = OpenFailureReason(error);
        std::string detail = Printf("open %s: %s", path, SystemMessage(error).c_str());
        if (reason == Reason::PortPermission) {
            const std::string owner = DescribeOwnership(devicePath, &facts);
            if (!owner.empty()) detail += " (" + owner + ")";
        }
        // EBUSY: another program set TIOCEXCL on the port.
        struct stat device {};
        if (reason == Reason::PortBusy && stat(path, &device) == 0)
            detail = Printf("open %s: %s", path, DescribePortHolder(device, &facts).c_str());
        return failOpen(Failure(reason, detail, error, std::move(facts)));
    }
    const auto busy = [&](int error) {
        struct stat device {};
        fstat(fd, &device);
        close(fd);
        const std::string holder = DescribePortHolder(device, &facts);
        return failOpen(
            Failure(Reason::PortBusy, Printf("open %s: %s", path, holder.c_str()), error, std::move(facts)));
    };
    // flock is what makes the port ours among programs that use it.
    if (RetryOnEintr([&] { return flock(fd, LOCK_EX | LOCK_NB); }) != 0) return busy(errno);
        // Root opens through another process's TIOCEXCL: the flag must be read.
        // Nobody else has the port flocked, so a set flag is another program's.
        // (Kernels before 3.8 cannot tell; there root still opens through.)
#ifdef TIOCGEXCL
    int exclusive = 0;
    if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) return busy(EBUSY);
#endif
    termios current{};
    const bool excluded = ModemIoctlSucceeded(ioctl(fd, TIOCEXCL));
    if (!excluded || tcgetattr(fd, &current) != 0) {
        const int error = errno;
        close(fd);
        // tcgetattr fails with ENOTTY on anything that is not a terminal; a
        // device that vanished between open and here answers EIO.
        if (IsGone(error))
            return failOpen(Failure(Reason::PortNotFound, Printf("open %s: %s", path, SystemMessage(error).c_str()),
                                    error, std::move(facts)));
        return failOpen(Failure(Reason::PortNotSerial,
                                Printf("open %s: not a serial port (%s)", path, SystemMessage(error).c_str()), error,
                                std::move(facts)));
    }
    handle_ = fd;
    setExclusive_ = true;
    isPseudoTerminal_ = IsPseudoTerminal(fd);
    return true;
}

bool SerialBackend::ApplySettings(const LineSettings& settings) {
    fault_ = {};
    if (!IsOpen()) return Fail(Failure(Reason::PortNotOpen, "the port is not open"));
    const int fd = static_cast<int>(handle_);
    const char* path = path_.c_str();
    const auto refused = [&](const std::string& what, int error = 0) {
        FailureFacts facts;
        facts.baudRate = settings.baudRate;
        return Fail(Failure(Reason::PortSettings, Printf("%s: %s", path, what.c_str()), error, std::move(facts)));
    };
    const auto speed = SpeedCode(settings.baudRate);
    if (!speed) return refused(Printf("%u baud is not a rate this system offers", settings.baudRate));
    const auto size = CharacterSize(settings.dataBits);
    if (!size) return refused(Printf("%u data bits: 5 to 8 only", settings.dataBits));
    const auto parity = ParityFlags(settings.parity);
    if (!parity) return refused(Printf("parity code %u: 0 to 4 only", settings.parity));
    const auto stop = StopBitFlags(settings.stopBits, settings.dataBits);
    if (!stop) {
        return refused(settings.stopBits == static_cast<std::uint8_t>(StopBits::OneAndHalf)
                           ? Printf("1.5 stop bits need 5 data bits, not %u", settings.dataBits)
                           : Printf("stop-bits code %u: 0 to 2 only", settings.stopBits));
    }

    const auto systemRefused = [&](const char* call) {
        const int error = errno;
        return refused(Printf("%s: %s", call, SystemMessage(error).c_str()), error);
    };
    termios wanted{};
    if (tcgetattr(fd, &wanted) != 0) return systemRefused("tcgetattr");
    cfmakeraw(&wanted);
    // No parity checking and no software flow control in either direction.
    wanted.c_iflag &= ~static_cast<tcflag_t>(INPCK | IGNPAR | PARMRK | IXON | IXOFF | IXANY);
    wanted.c_cflag &= ~static_cast<tcflag_t>(CSIZE | ParityMask() | CSTOPB | CRTSCTS);
    wanted.c_cflag |= CLOCAL | CREAD | *size | *parity | *stop;
    // DSR output flow has no termios counterpart and is not offered.
    if (settings.ctsOutFlow != 0) wanted.c_cflag |= CRTSCTS;
    wanted.c_cc[VMIN] = 1;
    wanted.c_cc[VTIME] = 0;
    if (cfsetispeed(&wanted, *speed) != 0 || cfsetospeed(&wanted, *speed) != 0) return systemRefused("cfsetspeed");
    if (RetryOnEintr([&] { return tcsetattr(fd, TCSANOW, &wanted); }) != 0) return systemRefused("tcsetattr");

    // tcsetattr succeeds when any of the changes took: read back to see
    // whether the driver took them all. A pseudo-terminal always forces CS8
    // and clears PARENB, so those two are not compared there.
    termios applied{};
    if (tcgetattr(fd, &applied) != 0) return systemRefused("tcgetattr");
    const tcflag_t parityMask = isPseudoTerminal_ ? (ParityMask() & ~static_cast<tcflag_t>(PARENB)) : ParityMask();
    const bool taken = cfgetospeed(&applied) == *speed &&
                       (applied.c_cflag & parityMask) == (wanted.c_cflag & parityMask) &&
                       (applied.c_cflag & CSTOPB) == (wanted.c_cflag & CSTOPB) &&
                       (isPseudoTerminal_ || (applied.c_cflag & CSIZE) == *size);
    if (!taken)
        return refused(Printf("the driver did not take %u baud, %u data bits, parity code %u, stop-bits code %u",
                              settings.baudRate, settings.dataBits, settings.parity, settings.stopBits));
    if (!ApplyModemLines(fd, settings)) return systemRefused("setting DTR/RTS");
    baudRate_ = settings.baudRate;
    return true;
}

// The Linux tty layer sizes its own buffers (4 KiB and more); every read of
// the protocol is bounded by its capacity instead.
void SerialBackend::SetQueueSizes(std::uint32_t /*inputBytes*/, std::uint32_t /*outputBytes*/) {}

void SerialBackend::ApplyTimeouts(const Timeouts& timeouts) {
    readIntervalMs_ = timeouts.readIntervalMs;
    readTotalMultiplier_ = timeouts.readTotalMultiplier;
    readTotalConstantMs_ = timeouts.readTotalConstantMs;
    writeTotalMultiplier_ = timeouts.writeTotalMultiplier;
    writeTotalConstantMs_ = timeouts.writeTotalConstantMs;
}

void SerialBackend::Purge() {
    if (IsOpen()) tcflush(static_cast<int>(handle_), TCIOFLUSH);
}

void SerialBackend::CloseDevice() {
    if (!IsOpen()) return;
    const int fd = static_cast<int>(handle_);
    // TIOCEXCL belongs to the tty, not to this descriptor: it would outlive
    // us while anyone else holds the device open. Only a flag we set is
    // cleared (an open refuses a port whose flag was set by another).
    // Unsent output is dropped so that close() does not wait for it behind
    // a stalled handshake.
    if (setExclusive_) ioctl(fd, TIOCNXCL);
    tcflush(fd, TCIOFLUSH);
    close(fd);
    lockFile_.Release();
    handle_ = -1;
    setExclusive_ = false;
    isPseudoTerminal_ = false;
    baudRate_ = 0;
}

bool SerialBackend::IsOpen() const { return handle_ >= 0; }

bool SerialBackend::Write(const std::uint8_t* buffer, std::uint32_t length, std::uint32_t& written) {
    written = 0;
    fault_ = {};
    if (!IsOpen()) return Fail(Failure(Reason::PortNotOpen, "the port is not open"));
    const int fd = static_cast<int>(handle_);
    const auto lost = [this](int error) {
        return Fail(Failure(Reason::PortLost, Printf("write %s: %s", path_.c_str(), SystemMessage(error).c_str()), error));
    };
    const auto deadline = TotalDeadline(Clock::now(), writeTotalMultiplier_, writeTotalConstantMs_, length);
    while (written < length) {
        const ssize_t count = write(fd, buffer + written, length - written);
        if (count > 0) {
            written += static_cast<std::uint32_t>(count);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count == 0) return HungUp();
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            const int error = errno;
            if (IsGone(error)) return lost(error);
            return Fail(Failure(Reason::WriteFailed,
                                Printf("write %s: %s", path_.c_str(), SystemMessage(error).c_str()), error));
        }
        // The driver's queue is full: wait for room, but a write cut short by
        // its time-out still succeeds with the smaller count.
        if (deadline && Clock::now() >= *deadline) break;
        if (!WaitForDevice(fd, POLLOUT, deadline)) return HungUp();
    }
    // Bytes stuck in the queue at the deadline (a stalled handshake) were not
    // sent, and the next purge discards them: they are not counted.
    const std::uint32_t unsent = WaitForOutputDrained(fd, baudRate_, deadline);
    written -= std::min(unsent, written);
    if (written < length)
        fault_ = Failure(Reason::WriteFailed, Printf("write %s: %u of %u bytes left within the %u ms write time-out",
                                                     path_.c_str(), written, length, writeTotalConstantMs_));
    return true;
}

bool SerialBackend::Read(std::uint8_t* buffer, std::uint32_t capacity, std::uint32_t& received) {
    received = 0;
    fault_ = {};
    if (!IsOpen()) return Fail(Failure(Reason::PortNotOpen, "the port is not open"));
    if (capacity == 0) return true;
    const int fd = static_cast<int>(handle_);
    const auto lost = [this](int error) {
        return Fail(Failure(Reason::PortLost, Printf("read %s: %s", path_.c_str(), SystemMessage(error).c_str()), error));
    };
    const auto start = Clock::now();
    const bool returnAtOnce = readIntervalMs_ == kMaxDword && readTotalMultiplier_ == 0 && readTotalConstantMs_ == 0;
    const auto totalDeadline = TotalDeadline(start, readTotalMultiplier_, readTotalConstantMs_, capacity);
    const bool useInterval = readIntervalMs_ != 0 && !returnAtOnce;
    Clock::time_point lastByte{};

    for (;;) {
        const ssize_t count = read(fd, buffer + received, capacity - received);
        if (count > 0) {
            received += static_cast<std::uint32_t>(count);
            lastByte = Clock::now();
            if (received == capacity) return true;
            continue;
        }
        // With VMIN=1 an empty queue is EAGAIN: 0 means the line hung up.
        if (count == 0) return HungUp();
        if (errno == EINTR) continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK) return lost(errno);
        if (returnAtOnce) return true;

        // The interval timer runs only once a byte has arrived and restarts
        // with each one; the total timer runs from the start of the read.
        std::optional<Clock::time_point> deadline = totalDeadline;
        if (useInterval && received > 0) {
            const auto gapEnd = lastByte + Milliseconds(readIntervalMs_);
            deadline = deadline ? std::min(*deadline, gapEnd) : gapEnd;
        }
        // A time-out is no error: the read succeeds with what it has.
        if (deadline && Clock::now() >= *deadline) return true;
        if (!WaitForDevice(fd, POLLIN, deadline)) return HungUp();
    }
}

bool SerialBackend::Sleep(std::uint32_t milliseconds) {
    fault_ = {};
    const auto deadline = Clock::now() + Milliseconds(milliseconds);
    if (!IsOpen()) {
        std::this_thread::sleep_until(deadline);
        return true;
    }
    // No events asked for: poll() still reports a hang-up, and only that.
    while (Clock::now() < deadline) {
        if (!WaitForDevice(static_cast<int>(handle_), 0, deadline)) return HungUp();
    }
    return true;
}

std::string DevicePathFromWide(const wchar_t* path) {
    if (path == nullptr) return {};
    std::wstring_view name(path);
    // Callers name ports the Windows way, "\\.\COM3"; the prefix means nothing here.
    constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
    if (name.starts_with(kDevicePrefix)) name.remove_prefix(kDevicePrefix.size());
    std::string devicePath;
    if (name.empty() || !WideToUtf8(name, devicePath)) return {};
    if (devicePath.find('/') == std::string::npos) devicePath.insert(0, "/dev/");
    return devicePath;
}

}  // namespace qrv
