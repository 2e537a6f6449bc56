// Keeping off a port another program holds, and letting others see that we
// hold one: lock files (in a folder of the test's own), another process's
// TIOCEXCL, and what a lost port and a close leave behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "serial/serial_port.h"
#include "serial/uucp_lock.h"
#include "support/pty_pair.h"

namespace qrv {
namespace {

namespace fs = std::filesystem;
using test::PtyPair;

TEST(LockFileName, FollowsTheNamesOtherProgramsUse) {
    const struct {
        const char* device;
        const char* file;
    } cases[] = {
        {"/dev/ttyUSB0", "LCK..ttyUSB0"},
        {"/dev/pts/3", "LCK..pts_3"},
        {"/tmp/ttyV0", "LCK..ttyV0"},
    };
    for (const auto& c : cases) EXPECT_EQ(LockFileName(c.device), c.file) << c.device;
    EXPECT_EQ(LockFileContent(4121), "      4121\n");
}

TEST(LockFileContent, ReadsAsciiAndBinaryNumbersOnly) {
    const std::int32_t binary = 4121;
    const struct {
        std::string content;
        long pid;  // 0: no number
    } cases[] = {
        {"      4121\n", 4121},
        {"4121", 4121},
        {"4121\n\n", 4121},
        {std::string(reinterpret_cast<const char*>(&binary), 4), 4121},
        {"", 0},
        {"\n", 0},
        {"abc\n", 0},
        {"12x4\n", 0},
        {"0\n", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseLockContent(c.content).value_or(0), c.pid) << c.content;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// A process that lives until the fixture ends, as another program would.
pid_t StartSleeper() {
    const pid_t pid = fork();
    if (pid == 0) {
        execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
        _exit(127);
    }
    // Named "sleep" only once the exec is done.
    for (int i = 0; i < 200 && ReadFile("/proc/" + std::to_string(pid) + "/comm") != "sleep\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return pid;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

class PortLock : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qrv-lockXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        Stop(other_);
        fs::remove_all(folder_);
    }
    int Open(SerialPort& port) { return port.Open(pty_.SlavePathWide().c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, 200); }
    fs::path LockPath() const { return folder_ / LockFileName(pty_.SlavePath()); }
    void WriteLock(const std::string& content) { std::ofstream(LockPath(), std::ios::binary) << content; }

    PtyPair pty_;
    fs::path folder_;
    pid_t other_ = -1;
};

TEST_F(PortLock, ALiveProcesssLockFileMakesThePortBusyAndNamesIt) {
    other_ = StartSleeper();
    WriteLock(LockFileContent(other_));
    SerialPort port(folder_.string());
    ASSERT_EQ(Open(port), 0);
    const Outcome& fault = port.LastFault();
    EXPECT_EQ(fault.reason, Reason::PortBusy);
    EXPECT_NE(fault.detail.find("held by process " + std::to_string(other_) + " (sleep)"), std::string::npos)
        << fault.detail;
    EXPECT_EQ(fault.facts.holderPid, other_);
    EXPECT_EQ(fault.facts.holderProgram, "sleep");
    EXPECT_EQ(fault.facts.path, pty_.SlavePath());
    EXPECT_EQ(ReadFile(LockPath()), LockFileContent(other_)) << "their lock file is left alone";
}

TEST_F(PortLock, AStaleLockIsReplacedByOursWhichGoesAtClose) {
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    for (const std::string& stale : {LockFileContent(gone), std::string("garbage")}) {
        WriteLock(stale);
        fs::last_write_time(LockPath(), fs::file_time_type::clock::now() - std::chrono::minutes(1));
        SerialPort port(folder_.string());
        ASSERT_EQ(Open(port), 1) << port.LastFault().detail;
        EXPECT_EQ(ReadFile(LockPath()), LockFileContent(getpid()));
        port.Close();
        EXPECT_FALSE(fs::exists(LockPath()));
    }
}

TEST_F(PortLock, ALostPortGivesUpItsLockFile) {
    SerialPort port(folder_.string());
    ASSERT_EQ(Open(port), 1);
    ASSERT_TRUE(fs::exists(LockPath()));
    pty_.CloseMaster();
    std::uint8_t byte = 0;
    std::uint32_t received = 0;
    port.Read(&byte, 1, received);
    ASSERT_EQ(port.LastFault().reason, Reason::PortLost);
    EXPECT_FALSE(fs::exists(LockPath()));
}

struct NoteCatcher : LineObserver {
    void OnTraffic(LineDirection, const std::uint8_t*, std::size_t) override {}
    void OnNote(const std::string& note) override { notes += note; }
    std::string notes;
};

TEST_F(PortLock, WithoutAUsableFolderTheOpenGoesOnAndSaysSo) {
    SerialPort port((folder_ / "missing").string());
    NoteCatcher trace;
    port.SetObserver(&trace);
    ASSERT_EQ(Open(port), 1) << port.LastFault().detail;
    EXPECT_NE(trace.notes.find("held by flock and TIOCEXCL alone"), std::string::npos) << trace.notes;
    // flock still keeps a second opener off.
    SerialPort second(folder_.string());
    EXPECT_EQ(Open(second), 0);
    EXPECT_EQ(second.LastFault().reason, Reason::PortBusy);
}

// Another process opens the port and sets TIOCEXCL, then waits to be ended.
pid_t HoldExclusively(const std::string& path) {
    int ready[2];
    if (pipe(ready) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
        const char ok = fd >= 0 && ioctl(fd, TIOCEXCL) == 0 ? 1 : 0;
        (void)!write(ready[1], &ok, 1);
        pause();
        _exit(0);
    }
    char ok = 0;
    close(ready[1]);
    (void)!read(ready[0], &ok, 1);
    close(ready[0]);
    return ok ? pid : (Stop(pid), -1);
}

bool ExclusiveFlag(const std::string& path) {
    // Root opens through the flag; others cannot open to look.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == EBUSY;
    int flag = 0;
    ioctl(fd, TIOCGEXCL, &flag);
    close(fd);
    return flag != 0;
}

TEST_F(PortLock, AnotherProcesssExclusiveFlagIsRefusedAndKept) {
    other_ = HoldExclusively(pty_.SlavePath());
    ASSERT_GT(other_, 0);
    SerialPort port(folder_.string());
    ASSERT_EQ(Open(port), 0);
    EXPECT_EQ(port.LastFault().reason, Reason::PortBusy) << port.LastFault().detail;
    EXPECT_EQ(port.LastFault().facts.holderPid, other_) << port.LastFault().detail;
    EXPECT_FALSE(fs::exists(LockPath()));
    port.Close();
    EXPECT_TRUE(ExclusiveFlag(pty_.SlavePath())) << "the other process's flag was cleared";
}

TEST_F(PortLock, CloseClearsTheFlagWeSet) {
    SerialPort port(folder_.string());
    ASSERT_EQ(Open(port), 1);
    EXPECT_TRUE(ExclusiveFlag(pty_.SlavePath()));
    port.Close();
    EXPECT_FALSE(ExclusiveFlag(pty_.SlavePath()));
}

}  // namespace
}  // namespace qrv
