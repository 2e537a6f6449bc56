// Two threads calling into the library at once, as a Python program or a
// second GUI timer might: exchanges take turns (the module never sees two
// mixed), quick queries never wait behind a long exchange, handlers are
// replaced safely mid-upgrade, and a thousand opens leave no descriptor
// behind. Meant for ThreadSanitizer and AddressSanitizer builds too.
#include <dirent.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include "image_file.h"
#include "records/module_records.h"
#include "simulated_line.h"
#include "support/pty_pair.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;

constexpr int kShortTimeoutMs = 300;

// Runs `second` on another thread while `first` runs here.
template <typename First, typename Second>
void Together(First first, Second second) {
    std::thread other(second);
    first();
    other.join();
}

class Overlap : public SimulatedLine {};

TEST_F(Overlap, LoadAgainstCloseAndOpen) {
    Start(kShortTimeoutMs);
    const std::wstring path = Path();
    Together([] { for (int i = 0; i < 5; ++i) Q_QRV_LoadInfo(); },
             [&] {
                 for (int i = 0; i < 5; ++i) {
                     Q_CloseCom();
                     Q_OpenCom(path.c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, kShortTimeoutMs);
                 }
             });
    EXPECT_TRUE(NothingDiscarded());
    ASSERT_EQ(Q_OpenCom(path.c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, kShortTimeoutMs), 1);
    EXPECT_EQ(Q_QRV_LoadInfo(), 1);
}

TEST_F(Overlap, SearchAgainstFarReads) {
    Start(kShortTimeoutMs);
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    ASSERT_EQ(Q_QRV_SearchDev(11, 0), 1);
    int farReads = 0;
    Together([] { for (int i = 0; i < 2; ++i) Q_QRV_SearchDev(11, 0); },
             [&] {
                 for (int i = 0; i < 3; ++i) farReads += Q_QRV_LoadRemoteDevInfo(0);
                 Q_QRV_GetSearchDevCount();
             });
    // Each far read ran whole between two searches, never inside one.
    EXPECT_EQ(farReads, 3);
    EXPECT_TRUE(NothingDiscarded());
}

// A handler's user data, with a flag that is up only while a call runs.
struct Watched {
    std::atomic<int> running{0};
    std::atomic<int> calls{0};
    void Enter() {
        running = 1;
        ++calls;
        std::this_thread::sleep_for(1ms);
        running = 0;
    }
};

void OnMessage(int, const char*, void* user) { static_cast<Watched*>(user)->Enter(); }
void OnProgress(void* user, std::int32_t, std::int32_t) { static_cast<Watched*>(user)->Enter(); }
void OnTrace(void* user, std::int32_t, const std::uint8_t*, std::int32_t, std::uint64_t) {
    static_cast<Watched*>(user)->Enter();
}

TEST_F(Overlap, HandlersSwappedAndQuickQueriesDuringAnUpgrade) {
    Start(kShortTimeoutMs);
    TempDir dir;
    const std::wstring image = dir.Write("image.bin", ImageBytes({0, 0, 0x40, 0x140, 16})).wstring();
    Watched a, b;
    std::atomic<bool> upgrading{true};
    bool oldHandlerRanAfterSwap = false;
    auto slowest = Clock::duration::zero();
    int result = -1;
    Together(
        [&] {
            result = Q_QRV_UpdateWithFileNameLocal(image.c_str(), kRunStateBoot, 0x0506, 0);
            upgrading = false;
        },
        [&] {
            for (bool useA = true; upgrading; useA = !useA) {
                Watched& in = useA ? a : b;
                Watched& out = useA ? b : a;
                Q_SetProgressHandler(&OnProgress, &in);
                Q_SetTraceHandler(&OnTrace, &in);
                Q_SetMessageHandler(&OnMessage, &in);
                // Once replaced, the old handler is not running any more.
                if (out.running) oldHandlerRanAfterSwap = true;
                const auto start = Clock::now();
                char detail[64];
                Q_ComCheckOpen();
                Q_GetLastError();
                Q_GetLastFailure(detail, sizeof detail);
                Q_QRV_GetSearchDevCount();
                slowest = std::max(slowest, Clock::now() - start);
            }
        });
    Q_SetProgressHandler(nullptr, nullptr);
    Q_SetTraceHandler(nullptr, nullptr);
    Q_SetMessageHandler(nullptr, nullptr);
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(oldHandlerRanAfterSwap);
    EXPECT_GT(a.calls + b.calls, 4);  // four blocks' progress and their traffic
    EXPECT_LT(slowest, 50ms);
}

std::size_t OpenDescriptors() {
    std::size_t count = 0;
    DIR* fds = opendir("/proc/self/fd");
    while (readdir(fds) != nullptr) ++count;
    closedir(fds);
    return count;
}

TEST(OpenClose, AThousandCyclesLeaveNoDescriptorBehind) {
    PtyPair pty;
    const std::wstring path = pty.SlavePathWide();
    const std::size_t before = OpenDescriptors();
    for (int i = 0; i < 1000; ++i) {
        ASSERT_EQ(Q_OpenCom(path.c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, 100), 1);
        // A refused setting closes what the open took.
        ASSERT_EQ(Q_OpenCom(path.c_str(), 12345, 8, 0, 0, 0, 0, 0, 0, 100), 0);
        ASSERT_EQ(Q_CloseCom(), 1);
    }
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace qrv::test
