// The facts of a failure as fields (Q_GetLastFailureInfo): the same failures
// a program meets, read without looking at the detail line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <cstring>
#include <string>

#include "device/module_answers.h"
#include "net_answers.h"
#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "support/pty_pair.h"

using namespace qrv::test;

namespace {

QRV_FAILURE_INFO LastInfo() {
    QRV_FAILURE_INFO info;
    std::memset(&info, 0x55, sizeof info);
    info.size = sizeof info;
    EXPECT_EQ(Q_GetLastFailureInfo(&info), Q_GetLastFailure(nullptr, 0));
    EXPECT_EQ(info.size, sizeof info);
    return info;
}

int OpenAt9600(const std::wstring& path) { return Q_OpenCom(path.c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, 300); }

class FailureInfo : public ::testing::Test {
protected:
    void TearDown() override { Q_CloseCom(); }
    PtyPair pty_;
};

}  // namespace

// The holder of a busy port is checked where lock files are (port_lock_test).
TEST_F(FailureInfo, APortWeMayNotOpenNamesItsOwner) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to drop to another user";
    ASSERT_EQ(chmod(pty_.SlavePath().c_str(), 0600), 0);
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
        OpenAt9600(pty_.SlavePathWide());
        QRV_FAILURE_INFO info{};
        info.size = sizeof info;
        const bool right = Q_GetLastFailureInfo(&info) == QRV_FAIL_PORT_PERMISSION && info.ownerUid == 0 &&
                           info.mode == 0600 && std::strcmp(info.ownerName, "root") == 0 && info.holderPid == 0;
        _exit(right ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
}

TEST_F(FailureInfo, SilenceAndRefusalGiveCommandRateTimeOutAndStatus) {
    FakeModule fake(pty_.MasterFd(), 9600);
    ASSERT_EQ(OpenAt9600(pty_.SlavePathWide()), 1);
    fake.ExpectSilence();
    EXPECT_EQ(Q_QRV_LoadInfo(), 0);
    const QRV_FAILURE_INFO silent = LastInfo();
    EXPECT_EQ(silent.reason, QRV_FAIL_NO_ANSWER);
    EXPECT_EQ(silent.path, pty_.SlavePath());
    EXPECT_EQ(silent.baudRate, 9600u);
    EXPECT_EQ(silent.timeoutMs, 300u);
    EXPECT_EQ(silent.command, 0xD1);
    EXPECT_EQ(silent.status, -1);

    fake.Expect(IoWriteAck(qrv::protocol::kIoCmdSetOutputs, 0, 3));
    EXPECT_EQ(Q_QRV_SetIOValueLocal(1), 0);
    const QRV_FAILURE_INFO refused = LastInfo();
    EXPECT_EQ(refused.reason, QRV_FAIL_REFUSED);
    EXPECT_EQ(refused.command, qrv::protocol::kIoCmdSetOutputs);
    EXPECT_EQ(refused.status, 3);

    // A success leaves nothing behind; another thread has its own.
    fake.Expect(IoWriteAck(qrv::protocol::kIoCmdSetOutputs, 0, 0));
    EXPECT_EQ(Q_QRV_SetIOValueLocal(1), 1);
    const QRV_FAILURE_INFO none = LastInfo();
    EXPECT_EQ(none.reason, QRV_FAIL_NONE);
    EXPECT_STREQ(none.path, "");
    EXPECT_EQ(none.command, -1);
}

TEST(FailureInfoSize, AShorterStructureGetsWhatFitsAndNoMore) {
    EXPECT_EQ(Q_OpenCom(L"/dev/qrv-no-such-port", 9600, 8, 0, 0, 0, 0, 0, 0, 300), 0);
    EXPECT_EQ(Q_GetLastFailureInfo(nullptr), -1);
    QRV_FAILURE_INFO info;
    std::memset(&info, 0x55, sizeof info);
    info.size = offsetof(QRV_FAILURE_INFO, osError);  // too short even for the basics
    EXPECT_EQ(Q_GetLastFailureInfo(&info), -1);
    EXPECT_EQ(info.reason, 0x55555555);

    info.size = offsetof(QRV_FAILURE_INFO, path) + 5;  // an older, shorter caller
    EXPECT_EQ(Q_GetLastFailureInfo(&info), QRV_FAIL_PORT_NOT_FOUND);
    EXPECT_EQ(info.size, offsetof(QRV_FAILURE_INFO, path) + 5);
    EXPECT_EQ(std::string(info.path, 5), "/dev/");
    EXPECT_EQ(info.path[5], 0x55) << "written past the caller's size";

    info.size = sizeof info + 64;  // a newer caller: told what this library has
    EXPECT_EQ(Q_GetLastFailureInfo(&info), QRV_FAIL_PORT_NOT_FOUND);
    EXPECT_EQ(info.size, sizeof info);
}
