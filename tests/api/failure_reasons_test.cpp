// Every failure reason through the exports as a program meets it on this
// machine: the reason, the facts in the detail, the system's error number,
// and Q_GetLastError's code left exactly as before.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "device/module_answers.h"
#include "net_answers.h"
#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "support/pty_pair.h"

using namespace qrv::test;

namespace {

struct Why {
    std::int32_t reason;
    std::string detail;
    std::int32_t osError;
};

Why LastWhy() {
    char text[512];
    const std::int32_t reason = Q_GetLastFailure(text, sizeof text);
    return {reason, text, Q_GetLastOsError()};
}

bool StartsWith(const std::string& text, const std::string& start) { return text.rfind(start, 0) == 0; }

int Open(const std::wstring& path, int baud = 9600, int dataBits = 8) {
    return Q_OpenCom(path.c_str(), baud, dataBits, 0, 0, 0, 0, 0, 0, 300);
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Runs `child` in a forked process and gives back what it wrote to the pipe.
template <typename Child>
std::string InChild(Child child) {
    int out[2];
    if (pipe(out) != 0) return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(out[0]);
        const std::string said = child();
        [[maybe_unused]] const ssize_t written = write(out[1], said.data(), said.size());
        _exit(0);
    }
    close(out[1]);
    std::string said;
    char buffer[512];
    ssize_t count = 0;
    while ((count = read(out[0], buffer, sizeof buffer)) > 0) said.append(buffer, static_cast<std::size_t>(count));
    close(out[0]);
    waitpid(pid, nullptr, 0);
    return said;
}

class FailureReasons : public ::testing::Test {
protected:
    void TearDown() override { Q_CloseCom(); }
    PtyPair pty_;
};

}  // namespace

TEST_F(FailureReasons, OpensThatFailSayWhy) {
    char regular[] = "/tmp/qrv-not-a-port-XXXXXX";
    const int fd = mkstemp(regular);
    ASSERT_GE(fd, 0);
    close(fd);
    struct Row {
        std::wstring path;
        int baud, dataBits;
        std::int32_t reason;
        std::string detailStart;
        int osError;
    };
    const std::string pts = pty_.SlavePath();
    const Row rows[] = {
        {L"/dev/qrv-no-such-port", 9600, 8, QRV_FAIL_PORT_NOT_FOUND,
         "open /dev/qrv-no-such-port: No such file or directory", ENOENT},
        {L"/dev/null", 9600, 8, QRV_FAIL_PORT_NOT_SERIAL, "open /dev/null: not a serial port (", ENOTTY},
        {Wide(regular), 9600, 8, QRV_FAIL_PORT_NOT_SERIAL, "open " + std::string(regular) + ": not a serial port",
         ENOTTY},
        {L"/tmp", 9600, 8, QRV_FAIL_PORT_NOT_SERIAL, "open /tmp: Is a directory", EISDIR},
        {Wide(pts), 12345, 8, QRV_FAIL_PORT_SETTINGS, pts + ": 12345 baud is not a rate this system offers", 0},
        {Wide(pts), 9600, 9, QRV_FAIL_PORT_SETTINGS, pts + ": 9 data bits: 5 to 8 only", 0},
        {L"", 9600, 8, QRV_FAIL_ARGUMENT, "the port path is empty", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Open(row.path, row.baud, row.dataBits), 0);
        const Why why = LastWhy();
        EXPECT_EQ(why.reason, row.reason) << why.detail;
        EXPECT_TRUE(StartsWith(why.detail, row.detailStart)) << why.detail;
        EXPECT_EQ(why.osError, row.osError) << why.detail;
        EXPECT_EQ(Q_GetLastError(), Q_ERR_NONE);
    }
    EXPECT_EQ(Q_OpenCom(nullptr, 9600, 8, 0, 0, 0, 0, 0, 0, 300), 0);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_ARGUMENT);
    // Success resets the reason.
    EXPECT_EQ(Open(Wide(pts)), 1);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_NONE);
    EXPECT_EQ(LastWhy().detail, "");
    unlink(regular);
}

// The process holding the port's lock is named, as /proc tells it.
TEST_F(FailureReasons, BusyPortNamesItsHolder) {
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        const int fd = open(pty_.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 ? 'y' : 'n';
        [[maybe_unused]] const ssize_t written = write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    std::string comm;
    std::getline(std::ifstream("/proc/" + std::to_string(holder) + "/comm"), comm);

    EXPECT_EQ(Open(pty_.SlavePathWide()), 0);
    const Why why = LastWhy();
    EXPECT_EQ(why.reason, QRV_FAIL_PORT_BUSY);
    EXPECT_EQ(why.detail,
              "open " + pty_.SlavePath() + ": held by process " + std::to_string(holder) + " (" + comm + ")");

    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(ready[0]);
    close(ready[1]);
    EXPECT_EQ(Open(pty_.SlavePathWide()), 1);
}

// A user without access to the device (not root: root opens anything).
TEST_F(FailureReasons, PortWithoutPermission) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
    ASSERT_EQ(chmod(pty_.SlavePath().c_str(), 0600), 0);
    const std::string said = InChild([&] {
        if (setgid(65534) != 0 || setuid(65534) != 0) return std::string("cannot drop to 65534");
        const int opened = Open(pty_.SlavePathWide());
        const Why why = LastWhy();
        return std::to_string(opened) + "|" + std::to_string(why.reason) + "|" + std::to_string(why.osError) + "|" +
               why.detail;
    });
    EXPECT_TRUE(StartsWith(said, "0|" + std::to_string(QRV_FAIL_PORT_PERMISSION) + "|" + std::to_string(EACCES) +
                                     "|open " + pty_.SlavePath() + ": Permission denied (crw------- root:"))
        << said;
}

TEST_F(FailureReasons, ExchangesThatFailSayWhy) {
    FakeModule fake(pty_.MasterFd(), 9600);
    ASSERT_EQ(Open(pty_.SlavePathWide()), 1);

    EXPECT_EQ(Q_QRV_GetProperty(1, nullptr, 0), 0);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_NOT_LOADED);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NOT_LOADED);

    fake.ExpectSilence();
    EXPECT_EQ(Q_QRV_LoadInfo(), 0);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_NO_ANSWER);
    EXPECT_EQ(LastWhy().detail, "read-base-info: no answer on " + pty_.SlavePath() + " at 9600 baud within 300 ms");
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NONE);

    Bytes nine = BaseInfoAnswer(SampleBase());
    nine.pop_back();
    fake.Expect(nine);
    EXPECT_EQ(Q_QRV_LoadInfo(), 0);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_BAD_ANSWER);
    EXPECT_EQ(LastWhy().detail, "read-base-info answer of 9 bytes, expected 10");

    fake.Expect(IoWriteAck(qrv::protocol::kIoCmdSetOutputs, 0, 3));
    EXPECT_EQ(Q_QRV_SetIOValueLocal(1), 0);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_REFUSED);
    EXPECT_EQ(LastWhy().detail, "io-set-outputs refused by the module: status 0x03");

    fake.Expect(IoWriteAck(qrv::protocol::kIoCmdSetOutputs, 0, 0));
    EXPECT_EQ(Q_QRV_SetIOValueLocal(1), 1);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_NONE);

    EXPECT_EQ(Q_QRV_LoadRemoteDevInfo(7), 0);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_ARGUMENT);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_BAD_INDEX);

    Q_CloseCom();
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_NONE);
    EXPECT_EQ(Q_QRV_LoadInfo(), 0);
    EXPECT_EQ(LastWhy().reason, QRV_FAIL_PORT_NOT_OPEN);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_PORT_NOT_OPEN);
}

// The reason belongs to the thread that failed; the detail is cut to fit.
TEST_F(FailureReasons, PerThreadAndCutToFit) {
    EXPECT_EQ(Q_OpenCom(L"/dev/qrv-no-such-port", 9600, 8, 0, 0, 0, 0, 0, 0, 300), 0);
    std::int32_t otherThread = -1;
    std::thread([&] { otherThread = Q_GetLastFailure(nullptr, 0); }).join();
    EXPECT_EQ(otherThread, QRV_FAIL_NONE);
    EXPECT_EQ(Q_GetLastFailure(nullptr, 0), QRV_FAIL_PORT_NOT_FOUND);

    char small[6];
    std::memset(small, 'x', sizeof small);
    EXPECT_EQ(Q_GetLastFailure(small, sizeof small), QRV_FAIL_PORT_NOT_FOUND);
    EXPECT_STREQ(small, "open ");

    // Cut before a character, never inside one.
    ASSERT_EQ(Q_OpenCom(L"/dev/\u4e32\u53e3", 9600, 8, 0, 0, 0, 0, 0, 0, 300), 0);
    char cut[17];
    Q_GetLastFailure(cut, sizeof cut);
    EXPECT_STREQ(cut, "open /dev/\xe4\xb8\xb2\xe5\x8f\xa3");
    Q_GetLastFailure(cut, 15);
    EXPECT_STREQ(cut, "open /dev/\xe4\xb8\xb2");
}

TEST(Exports, VersionAndFrameText) {
    EXPECT_STREQ(Q_GetVersion(), "1.2.0");
    const std::uint8_t tune[] = {0xAB, 0xD4, 0x1A, 0x02, 0xBA};
    char text[64];
    EXPECT_EQ(Q_DescribeFrame(tune, sizeof tune, text, sizeof text), 1);
    EXPECT_STREQ(text, "tune-radio channel=26 rate=1M");
    EXPECT_EQ(Q_DescribeFrame(tune, 3, text, 12), 0);
    EXPECT_STREQ(text, "tune-radio,");
    EXPECT_EQ(Q_DescribeFrame(nullptr, 5, text, sizeof text), 0);
    EXPECT_STREQ(text, "no bytes");
    EXPECT_EQ(Q_DescribeFrame(tune, sizeof tune, nullptr, 10), 0);
}
