// A search appending on one thread while another counts the list, copies
// entries' identities or clears it, as the configurator's search dialog does
// with its timer. Through the exported interface; meant for ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "net_answers.h"
#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "support/pty_pair.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;

constexpr int kModules = 40;
constexpr std::uint16_t kFirstAddr = 0x0100;

class SearchThreads : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Q_OpenCom(pty_.SlavePathWide().c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, 150), 1);
        Q_QRV_ClearSearchArr();
        // Answers trickle in so the reader sees the list grow.
        std::vector<Piece> answers;
        for (int i = 0; i < kModules; ++i)
            answers.push_back({2ms, SearchAnswer(protocol::kCmdSearchBroadcast,
                                                 static_cast<std::uint16_t>(kFirstAddr + i), 0x0010, 0xAA)});
        fake_.Expect(TuneAck());
        fake_.ExpectPieces(answers);
        fake_.Expect(TuneAck());
    }
    void TearDown() override {
        Q_QRV_ClearSearchArr();
        Q_CloseCom();
    }

    // Starts `reader` on its own thread, returns once it runs, then searches.
    template <typename Reader>
    int SearchWhile(Reader reader) {
        std::atomic<bool> running{false};
        std::atomic<bool> stop{false};
        std::thread thread([&] {
            running = true;
            while (!stop) reader();
        });
        while (!running) std::this_thread::yield();
        const int result = Q_QRV_SearchDev(11, 0);
        stop = true;
        thread.join();
        return result;
    }

    PtyPair pty_;
    FakeModule fake_{pty_.MasterFd()};
};

bool IsListedModule(const ModuleBase& base) {
    return base.NetAddr >= kFirstAddr && base.NetAddr < kFirstAddr + kModules && base.DevType == 0x0010 &&
           base.RunState == 0xAA && base.FwVersion == 0;
}

TEST_F(SearchThreads, CountAndBasesWhileTheSearchAppends) {
    int lastCount = 0;
    bool grewWhileReading = false;
    bool orderKept = true;
    bool basesIntact = true;
    const int result = SearchWhile([&] {
        const int count = Q_QRV_GetSearchDevCount();
        if (count < lastCount) orderKept = false;
        if (count > lastCount && lastCount > 0) grewWhileReading = true;
        lastCount = count;
        for (int i = 0; i < count; ++i) {
            ModuleBase base{};
            // Entries are appended in the order found and never move.
            if (Q_QRV_GetRemoteDevBase(&base, i) != 1 || base.NetAddr != kFirstAddr + i || !IsListedModule(base))
                basesIntact = false;
        }
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Q_QRV_GetSearchDevCount(), kModules);
    EXPECT_TRUE(orderKept);
    EXPECT_TRUE(basesIntact);
    EXPECT_TRUE(grewWhileReading);
}

TEST_F(SearchThreads, ClearingWhileTheSearchAppends) {
    int clears = 0;
    bool basesIntact = true;
    SearchWhile([&] {
        ModuleBase base{};
        const int count = Q_QRV_GetSearchDevCount();
        // The list may empty between the count and the copy: then the copy
        // fails, and never returns a destroyed entry.
        for (int i = 0; i < count; ++i)
            if (Q_QRV_GetRemoteDevBase(&base, i) == 1 && !IsListedModule(base)) basesIntact = false;
        Q_QRV_ClearSearchArr();
        ++clears;
    });
    EXPECT_TRUE(basesIntact);
    EXPECT_GT(clears, 0);
    EXPECT_LE(Q_QRV_GetSearchDevCount(), kModules);
    EXPECT_EQ(Q_GetLastError(), 0);
}

}  // namespace
}  // namespace qrv::test
