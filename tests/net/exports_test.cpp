// The exported search, far-module, IO and firmware functions as another
// program sees them: which codes each leaves, index -1 never reaching the
// local module through a remote export, null buffers, and the two exports
// that do nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "net_answers.h"
#include "protocol/frames.h"
#include "qrvlink/qrvlink.h"
#include "support/pty_pair.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;
using namespace protocol;

class Exports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Q_OpenCom(pty_.SlavePathWide().c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, 150), 1);
        Q_QRV_ClearSearchArr();
    }
    void TearDown() override { Q_CloseCom(); }

    // A local IO write goes out last; once the module has it, every frame
    // written before it has arrived too.
    std::vector<Bytes> FramesBeforeMarker() {
        fake_.Expect(IoWriteAck(kIoCmdSetOutputs, 0));
        EXPECT_EQ(Q_QRV_SetIOValueLocal(0x0F), 1);
        std::vector<Bytes> frames;
        for (const auto& request : fake_.Requests()) frames.push_back(request.bytes);
        EXPECT_EQ(frames.back(), ToBytes(BuildIoSetOutputs(0, 0x0F)));
        frames.pop_back();
        return frames;
    }

    PtyPair pty_;
    FakeModule fake_{pty_.MasterFd()};
};

TEST_F(Exports, RemoteIoWithIndexMinusOneNeverReachesTheLocalModule) {
    std::uint8_t byte = 0x33;
    std::uint8_t values[8] = {};
    EXPECT_EQ(Q_QRV_SetIODirAllRemote(-1, 1), 0);
    EXPECT_EQ(Q_QRV_SetIOValueRemote(-1, 1), 0);
    EXPECT_EQ(Q_QRV_GetIOvalueRemote(-1, &byte, 1), 0);
    EXPECT_EQ(Q_QRV_GetADvalueRemote(-1, values, 8), 0);
    EXPECT_EQ(Q_QRV_GetIOvalueRemote(0, &byte, 1), 0);
    EXPECT_EQ(byte, 0x33);
    EXPECT_TRUE(FramesBeforeMarker().empty());
}

TEST_F(Exports, CodesAreClearedSetOrLeftAsEachExportSays) {
    EXPECT_EQ(Q_QRV_LoadRemoteDevInfo(-1), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_BAD_INDEX);
    // These leave the code alone.
    ModuleProperty record{};
    ModuleBase base{};
    std::uint8_t byte = 0;
    EXPECT_EQ(Q_QRV_SetRemotePropertyAll(&record, 0), 0);
    EXPECT_EQ(Q_QRV_GetRemoteDevBase(&base, 0), 0);
    EXPECT_EQ(Q_QRV_GetSerarchDevProperty(0, 1, &byte, 1), 0);
    EXPECT_EQ(Q_QRV_UpdateWithFileNameRemote(0, 0, 0, 0, 0), 0);
    EXPECT_EQ(Q_QRV_UpdateWithFileNameLocal(L"", 0x55, 1, 0x10), 0);
    EXPECT_EQ(Q_QRV_SetIOValueRemote(3, 1), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_BAD_INDEX);
    // These clear it first.
    EXPECT_EQ(Q_QRV_GetSearchDevCount(), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NONE);
    for (int (*remote)(int) : {Q_QRV_SubmitRemoteDevInfo, Q_QRV_ResetRemoteDev, Q_QRV_ResetRemoteToDefault}) {
        Q_QRV_GetSearchDevCount();
        EXPECT_EQ(remote(0), 0);
        EXPECT_EQ(Q_GetLastError(), Q_ERR_BAD_INDEX);
    }
    Q_QRV_GetSearchDevCount();
    EXPECT_EQ(Q_QRV_GetRemoteDevPropertyAll(&record, 0), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_BAD_INDEX);
    char text[16];
    Q_QRV_GetSearchDevCount();
    EXPECT_EQ(Q_QRV_GetRemoteDevProperty(0, 1, text, sizeof text), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_BAD_INDEX);
    Q_QRV_GetSearchDevCount();
    EXPECT_EQ(Q_QRV_SetRemoteDevProperty(0, 1, text, sizeof text), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_BAD_INDEX);
    Q_QRV_ClearSearchArr();
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NONE);
    // A search on a closed port fails without a code.
    Q_QRV_LoadRemoteDevInfo(-1);
    Q_CloseCom();
    EXPECT_EQ(Q_QRV_SearchDev(11, 0), 0);
    EXPECT_EQ(Q_GetLastError(), Q_ERR_NONE);
}

TEST_F(Exports, NullBuffersAreRefusedWithoutAFrame) {
    // One entry, so the index checks pass and only the pointer is wrong.
    fake_.Expect(TuneAck());
    fake_.Expect(SearchAnswer(kCmdSearchByAddr, 0x0102, 0x0012, 0xAA));
    fake_.Expect(TuneAck());
    ASSERT_EQ(Q_QRV_SearchDevByAddr(11, 0, 0x0102), 1);
    const std::size_t searchFrames = 3;

    EXPECT_EQ(Q_QRV_GetRemoteDevBase(nullptr, 0), 0);
    EXPECT_EQ(Q_QRV_SetRemotePropertyAll(nullptr, 0), 0);
    EXPECT_EQ(Q_QRV_GetRemoteDevProperty(0, 1, nullptr, 16), 0);
    EXPECT_EQ(Q_QRV_GetIOvalueLocal(nullptr, 1), 0);
    EXPECT_EQ(Q_QRV_GetIOvalueRemote(0, nullptr, 1), 0);
    EXPECT_EQ(Q_QRV_GetADvalueLocal(nullptr, 8), 0);
    EXPECT_EQ(Q_QRV_GetADvalueRemote(0, nullptr, 8), 0);
    EXPECT_EQ(Q_QRV_UpdateWithFileNameLocal(nullptr, 0xAA, 0x0102, 0x0012), 0);
    EXPECT_EQ(FramesBeforeMarker().size(), searchFrames);
}

}  // namespace
}  // namespace qrv::test
