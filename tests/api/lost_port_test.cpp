// A module pulled off the line mid-load, mid-sweep and mid-upgrade: the call
// returns within 100 ms of the hang-up whatever pause or read it was in,
// every later exchange fails at once with the same reason, and a port opened
// afterwards works.
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <thread>

#include "image_file.h"
#include "records/module_records.h"
#include "simulated_line.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;


using protocol::kCmdFirmwareBlock;
using protocol::kCmdReadProperty;
using protocol::kCmdSearchBroadcast;

constexpr std::uint16_t kBootModule = 0x0506;  // in its boot loader, on the home pair

class LostPort : public SimulatedLine {
protected:
    static void Keep(int kind, const char* text, void* user) {
        static_cast<std::vector<std::pair<int, std::string>>*>(user)->emplace_back(kind, text);
    }
};

TEST_F(LostPort, CallsReturnAtOnceAndTheNextPortWorks) {
    TempDir dir;
    // One first-region block: the library then pauses a whole second.
    const std::wstring image = dir.Write("image.bin", ImageBytes({0x100, 0x140, 0, 0, 16})).wstring();
    struct Row {
        const char* when;
        std::uint8_t unplugOn;
        std::function<int()> call;
    };
    const Row rows[] = {
        {"mid-load, in the 100 ms before the record is read", kCmdReadProperty, [] { return Q_QRV_LoadInfo(); }},
        {"mid-sweep, reading search answers", kCmdSearchBroadcast, [] { return Q_QRV_SearchDev(11, 0); }},
        {"mid-upgrade, in the second after a block", kCmdFirmwareBlock,
         [&] { return Q_QRV_UpdateWithFileNameLocal(image.c_str(), kRunStateBoot, kBootModule, 0); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.when);
        Start();
        ASSERT_EQ(Q_QRV_LoadInfo(), 1);  // the port from before the row works
        UnplugOn(row.unplugOn);
        std::vector<std::pair<int, std::string>> messages;
        Q_SetMessageHandler(Keep, &messages);
        EXPECT_EQ(row.call(), 0);
        const auto returned = Clock::now();
        Q_SetMessageHandler(nullptr, nullptr);
        // An upgrade cut short says so to the host, as a refused image does.
        const bool upgrade = row.unplugOn == kCmdFirmwareBlock;
        ASSERT_EQ(messages.size(), upgrade ? 1u : 0u);
        if (upgrade) {
            EXPECT_EQ(messages[0].first, Q_MSG_ERROR);
            EXPECT_NE(messages[0].second.find("0/1"), std::string::npos) << messages[0].second;
        }
        // The simulator notes the time just after it closed the line; the
        // call may well have returned before the note is made.
        for (int i = 0; i < 1000 && unpluggedAt_.load() == 0; ++i) std::this_thread::sleep_for(1ms);
        ASSERT_NE(unpluggedAt_.load(), 0);
        EXPECT_LT(returned - UnpluggedAt(), 100ms);
        char detail[256];
        EXPECT_EQ(Q_GetLastFailure(detail, sizeof detail), QRV_FAIL_PORT_LOST) << detail;

        // Lost until closed: no pause, no read time-out is waited out.
        const auto start = Clock::now();
        EXPECT_EQ(Q_QRV_LoadInfo(), 0);
        EXPECT_EQ(Q_QRV_ResetDev(), 0);
        EXPECT_EQ(Q_QRV_SearchDev(11, 0), 0);
        EXPECT_LT(Clock::now() - start, 50ms);
        EXPECT_EQ(Q_GetLastFailure(nullptr, 0), QRV_FAIL_PORT_LOST);
        EXPECT_EQ(Q_GetLastError(), Q_ERR_NONE);
        EXPECT_EQ(Q_ComCheckOpen(), 1);
        EXPECT_EQ(Q_CloseCom(), 1);
    }
    Start();
    EXPECT_EQ(Q_QRV_LoadInfo(), 1);
}

}  // namespace
}  // namespace qrv::test
