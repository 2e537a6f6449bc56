// Opening the port: path rules, exclusivity, the line settings that reach the
// device and the ones refused, and the closed state.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cwchar>
#include <string>

#include "serial/serial_port.h"
#include "support/pty_pair.h"

namespace qrv {
namespace {

using test::PtyPair;

constexpr std::uint32_t kReadTimeoutMs = 500;

int OpenPath(SerialPort& port, const wchar_t* path, std::uint32_t baud = 9600, std::uint32_t dataBits = 8,
             std::uint32_t parity = 0, std::uint32_t stopBits = 0, std::uint32_t rtsControl = 0,
             std::uint32_t ctsOutFlow = 0) {
    return port.Open(path, baud, dataBits, parity, stopBits, 0, rtsControl, ctsOutFlow, 0, kReadTimeoutMs);
}

class SerialOpen : public ::testing::Test {
protected:
    PtyPair pty_;
    std::wstring path_ = pty_.SlavePathWide();
    SerialPort port_;
};

TEST(ReadInterval, IsFortyCharacterTimesAndAtLeastOneMillisecond) {
    const std::pair<std::uint32_t, std::uint32_t> rows[] = {
        {1200, 333}, {2400, 166}, {4800, 83},  {9600, 41},  {19200, 20},
        {38400, 10}, {57600, 6},  {115200, 3}, {230400, 1}, {460800, 1},
    };
    for (const auto& [baud, interval] : rows) EXPECT_EQ(ReadIntervalForBaud(baud), interval) << baud;
    EXPECT_EQ(ReadIntervalForBaud(400000), 1u);
    EXPECT_EQ(ReadIntervalForBaud(8000), 50u);
}

TEST(DevicePath, DropsTheWindowsPrefixAndPlacesBareNamesUnderDev) {
    const std::pair<std::wstring, std::string> rows[] = {
        {L"ttyUSB0", "/dev/ttyUSB0"},
        {L"\\\\.\\ttyUSB0", "/dev/ttyUSB0"},
        {L"\\\\.\\/dev/pts/3", "/dev/pts/3"},
        {L"/dev/ttyACM0", "/dev/ttyACM0"},
        {L"\u4e32\u53e3", "/dev/\xe4\xb8\xb2\xe5\x8f\xa3"},  // UTF-8 whatever the locale
        {L"\\\\.\\", ""},
        {L"", ""},
        {std::wstring(1, static_cast<wchar_t>(0xD800)), ""},  // a lone surrogate is no text
    };
    for (const auto& [wide, expected] : rows) EXPECT_EQ(DevicePathFromWide(wide.c_str()), expected);
    EXPECT_EQ(DevicePathFromWide(nullptr), "");
}

TEST(ClosedPort, ReadAndWriteFailAtOnceWithNothingCounted) {
    SerialPort port;
    EXPECT_FALSE(port.IsOpen());
    std::uint8_t buffer[8] = {1, 2, 3};
    std::uint32_t count = 77;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port.Read(buffer, sizeof buffer, count), 0);
    EXPECT_EQ(count, 0u);
    count = 77;
    EXPECT_EQ(port.Write(buffer, sizeof buffer, count), 0);
    EXPECT_EQ(count, 0u);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    port.Close();  // closing a closed port does nothing
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialOpen, SetsTheLineRawAndKeepsTheGivenPath) {
    const std::wstring given = L"\\\\.\\" + path_;
    ASSERT_EQ(OpenPath(port_, given.c_str(), 19200, 8, 1, 2, 0, 1), 1);
    EXPECT_EQ(std::wstring(port_.PortPath()), given);

    const termios line = pty_.SlaveSettings();
    EXPECT_EQ(cfgetospeed(&line), speed_t(B19200));
    EXPECT_NE(line.c_cflag & CSTOPB, 0u);
    EXPECT_NE(line.c_cflag & PARODD, 0u);  // the pty clears PARENB itself
    EXPECT_NE(line.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(line.c_cflag & (CLOCAL | CREAD), tcflag_t(CLOCAL | CREAD));
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | INPCK), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_cc[VMIN], 1);
    EXPECT_EQ(line.c_cc[VTIME], 0);

    const LineSettings& settings = port_.Settings();
    EXPECT_EQ(settings.dtrControl, 0);
    EXPECT_EQ(settings.ctsOutFlow, 1);
    const Timeouts& timeouts = port_.CurrentTimeouts();
    EXPECT_EQ(timeouts.readIntervalMs, 20u);
    EXPECT_EQ(timeouts.readTotalMultiplier, 0u);
    EXPECT_EQ(timeouts.readTotalConstantMs, kReadTimeoutMs);
    EXPECT_EQ(timeouts.writeTotalMultiplier, 0u);
    EXPECT_EQ(timeouts.writeTotalConstantMs, kWriteTimeoutMs);
}

TEST_F(SerialOpen, EveryConfiguratorRateReachesTheDevice) {
    const std::pair<std::uint32_t, speed_t> rows[] = {
        {1200, B1200},   {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},
        {38400, B38400}, {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800},
    };
    for (const auto& [baud, code] : rows) {
        ASSERT_EQ(OpenPath(port_, path_.c_str(), baud), 1) << baud;
        const termios line = pty_.SlaveSettings();
        EXPECT_EQ(cfgetospeed(&line), code) << baud;
        EXPECT_EQ(port_.CurrentTimeouts().readIntervalMs, ReadIntervalForBaud(baud));
    }
}

TEST_F(SerialOpen, RefusesSettingsTheLineCannotCarry) {
    struct Row {
        const char* what;
        std::uint32_t baud, dataBits, parity, stopBits;
    };
    const Row rows[] = {
        {"4 data bits", 9600, 4, 0, 0},
        {"9 data bits", 9600, 9, 0, 0},
        {"1.5 stop bits with 8 data bits", 9600, 8, 0, 1},
        {"1.5 stop bits with 6 data bits", 9600, 6, 0, 1},
        {"stop-bits code 3", 9600, 8, 0, 3},
        {"parity code 5", 9600, 8, 5, 0},
        {"non-standard rate", 12345, 8, 0, 0},
        {"rate 0", 0, 8, 0, 0},
    };
    for (const Row& row : rows) {
        ASSERT_EQ(OpenPath(port_, path_.c_str()), 1);
        EXPECT_EQ(OpenPath(port_, path_.c_str(), row.baud, row.dataBits, row.parity, row.stopBits), 0) << row.what;
        EXPECT_FALSE(port_.IsOpen()) << row.what;
    }
}

TEST_F(SerialOpen, AcceptsTheRestOfTheCodes) {
    struct Row {
        const char* what;
        std::uint32_t dataBits, parity, stopBits, rtsControl;
    };
    const Row rows[] = {
        {"1.5 stop bits with 5 data bits", 5, 0, 1, 0},
        {"mark parity", 7, 3, 0, 0},
        {"space parity", 7, 4, 2, 0},
        {"even parity, 6 bits", 6, 2, 0, 1},
        {"only the low byte counts", 0x108, 0x100, 0x200, 0},
        // A pty has no modem lines; raising or dropping them must not fail.
        {"RTS enabled", 8, 0, 0, 1},
        {"RTS handshake", 8, 0, 0, 2},
        {"RTS toggle", 8, 0, 0, 3},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(OpenPath(port_, path_.c_str(), 9600, row.dataBits, row.parity, row.stopBits, row.rtsControl), 1)
            << row.what;
    }
    const termios line = pty_.SlaveSettings();
    EXPECT_EQ(line.c_cflag & CSTOPB, 0u);  // the last row: one stop bit
}

TEST_F(SerialOpen, TheDeviceBelongsToOnePortAtATime) {
    ASSERT_EQ(OpenPath(port_, path_.c_str()), 1);
    SerialPort second;
    EXPECT_EQ(OpenPath(second, path_.c_str()), 0);
    EXPECT_FALSE(second.IsOpen());
    EXPECT_TRUE(port_.IsOpen());

    port_.Close();
    EXPECT_EQ(OpenPath(second, path_.c_str()), 1);
}

TEST_F(SerialOpen, OpeningAnotherPathClosesTheFirstEvenWhenItFails) {
    ASSERT_EQ(OpenPath(port_, path_.c_str()), 1);
    EXPECT_EQ(OpenPath(port_, L"/dev/qrv-no-such-port"), 0);
    EXPECT_FALSE(port_.IsOpen());
    SerialPort other;  // the device was really let go
    EXPECT_EQ(OpenPath(other, path_.c_str()), 1);
    other.Close();

    ASSERT_EQ(OpenPath(port_, path_.c_str()), 1);
    EXPECT_EQ(OpenPath(port_, nullptr), 0);
    EXPECT_FALSE(port_.IsOpen());
}

TEST_F(SerialOpen, RefusesWhatIsNoSerialPort) {
    EXPECT_EQ(OpenPath(port_, L"/dev/null"), 0);
    EXPECT_EQ(OpenPath(port_, L"/tmp"), 0);
    EXPECT_EQ(OpenPath(port_, L""), 0);
    EXPECT_FALSE(port_.IsOpen());
}

// The stored path holds 259 characters; a longer one is refused, not cut.
TEST_F(SerialOpen, PathOf260CharactersIsRefused) {
    char directory[] = "/tmp/qrv-serial-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    std::string link = std::string(directory) + "/";
    link.append(kPortPathCapacity - 1 - link.size(), 'p');
    ASSERT_EQ(link.size(), 259u);
    ASSERT_EQ(symlink(pty_.SlavePath().c_str(), link.c_str()), 0);
    const std::wstring longest(link.begin(), link.end());

    EXPECT_EQ(OpenPath(port_, longest.c_str()), 1);
    EXPECT_EQ(std::wstring(port_.PortPath()), longest);
    const std::wstring tooLong = longest + L"p";
    EXPECT_EQ(OpenPath(port_, tooLong.c_str()), 0);
    EXPECT_FALSE(port_.IsOpen());
    EXPECT_EQ(std::wstring(port_.PortPath()), L"");

    unlink(link.c_str());
    rmdir(directory);
}

}  // namespace
}  // namespace qrv
