// Debian's own serial programs next to us on one port, both ways round:
// minicom marks a port with a lock file only, picocom with flock only. Each
// runs on a terminal of its own (under script) with a HOME of the test's.
// Skipped where a program is not installed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "serial/serial_port.h"
#include "serial/uucp_lock.h"
#include "support/pty_pair.h"

namespace qrv {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::PtyPair;

bool Installed(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ReadNeighbourFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// `command` under script(1), in a process group of its own, its terminal
// output kept in a file; stdin stays open (script ends at its end of file).
class Neighbour {
public:
    Neighbour(const std::string& command, const fs::path& home) : output_(home / "typescript") {
        if (pipe(input_) != 0) return;
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input_[0], 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const std::string homeVariable = "HOME=" + home.string();
        const std::string pathVariable =
            std::string("PATH=") + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
        const std::string out = output_.string();
        const char* argv[] = {"script", "-qfc", command.c_str(), out.c_str(), nullptr};
        const char* envp[] = {homeVariable.c_str(), pathVariable.c_str(), "TERM=xterm", "LANG=C", nullptr};
        if (posix_spawnp(&pid_, "script", &actions, &attributes, const_cast<char**>(argv), const_cast<char**>(envp)) !=
            0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
        close(input_[0]);
    }
    ~Neighbour() {
        if (pid_ > 0) {
            kill(-pid_, SIGTERM);
            if (!Exited(2s)) kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(input_[1]);
    }
    bool Exited(std::chrono::milliseconds limit) {
        return WaitFor([&] { return waitpid(pid_, nullptr, WNOHANG) == pid_ && (pid_ = -1, true); }, limit);
    }
    std::string Output() const { return ReadNeighbourFile(output_); }

private:
    fs::path output_;
    int input_[2] = {-1, -1};
    pid_t pid_ = -1;
};

class NeighbourPrograms : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/qrv-homeXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
    }
    void TearDown() override {
        // A lock file left by a program we ended is stale; ours are gone.
        const fs::path lock = fs::path(UucpLock::SystemFolder()) / LockFileName(pty_.SlavePath());
        const auto pid = ParseLockContent(ReadNeighbourFile(lock));
        if (pid && kill(static_cast<pid_t>(*pid), 0) != 0) fs::remove(lock);
        fs::remove_all(home_);
    }
    int Open(SerialPort& port) { return port.Open(pty_.SlavePathWide().c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, 200); }
    bool Flocked() const {
        struct stat device {};
        stat(pty_.SlavePath().c_str(), &device);
        const std::string inode = ":" + std::to_string(device.st_ino) + " ";
        return ReadNeighbourFile("/proc/locks").find(inode) != std::string::npos;
    }

    PtyPair pty_;
    fs::path home_;
};

TEST_F(NeighbourPrograms, WeRefuseAPortMinicomHolds) {
    if (!Installed("minicom") || !Installed("script")) GTEST_SKIP() << "minicom or script not installed";
    const fs::path lock = fs::path(UucpLock::SystemFolder()) / LockFileName(pty_.SlavePath());
    Neighbour minicom("minicom -D " + pty_.SlavePath(), home_);
    ASSERT_TRUE(WaitFor([&] { return fs::exists(lock); })) << minicom.Output();
    SerialPort port;
    EXPECT_EQ(Open(port), 0);
    EXPECT_EQ(port.LastFault().reason, Reason::PortBusy);
    EXPECT_EQ(port.LastFault().facts.holderProgram, "minicom") << port.LastFault().detail;
}

TEST_F(NeighbourPrograms, MinicomRefusesAPortWeHold) {
    if (!Installed("minicom") || !Installed("script")) GTEST_SKIP() << "minicom or script not installed";
    SerialPort port;
    ASSERT_EQ(Open(port), 1) << port.LastFault().detail;
    Neighbour minicom("minicom -D " + pty_.SlavePath(), home_);
    EXPECT_TRUE(minicom.Exited(5s));
    EXPECT_NE(minicom.Output().find("is locked"), std::string::npos) << minicom.Output();
}

TEST_F(NeighbourPrograms, WeRefuseAPortPicocomHolds) {
    if (!Installed("picocom") || !Installed("script")) GTEST_SKIP() << "picocom or script not installed";
    Neighbour picocom("picocom -q " + pty_.SlavePath(), home_);
    ASSERT_TRUE(WaitFor([&] { return Flocked(); })) << picocom.Output();
    SerialPort port;
    EXPECT_EQ(Open(port), 0);
    EXPECT_EQ(port.LastFault().reason, Reason::PortBusy);
    EXPECT_EQ(port.LastFault().facts.holderProgram, "picocom") << port.LastFault().detail;
}

TEST_F(NeighbourPrograms, PicocomRefusesAPortWeHold) {
    if (!Installed("picocom") || !Installed("script")) GTEST_SKIP() << "picocom or script not installed";
    SerialPort port;
    ASSERT_EQ(Open(port), 1) << port.LastFault().detail;
    Neighbour picocom("picocom -q " + pty_.SlavePath(), home_);
    EXPECT_TRUE(picocom.Exited(5s));
    // Root opens through our TIOCEXCL and meets the flock; others meet TIOCEXCL.
    const std::string said = picocom.Output();
    EXPECT_TRUE(said.find("cannot lock") != std::string::npos || said.find("busy") != std::string::npos) << said;
}

}  // namespace
}  // namespace qrv
