// Contexts: two simulated adapters driven from two threads at once give what
// they give one after the other; a held lock keeps another thread's search
// out of a read -> change -> submit; handlers may cross contexts; freeing
// waits for the call in flight. Meant for ThreadSanitizer builds too.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "image_file.h"
#include "qrvlink/qrvlink.h"
#include "records/module_records.h"
#include "sim/simulator.h"

namespace qrv::test {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBaud = 9600;
constexpr int kReadTimeoutMs = 300;

// One simulated adapter (the default network) and a context open on it.
struct Adapter {
    Adapter() {
        sim::SimulatorOptions options;
        options.baud = kBaud;
        options.restartTime = std::chrono::milliseconds(20);
        sim = std::make_unique<sim::Simulator>(sim::Scenario::Default(), options);
        started = sim->Start();
        ctx = Q_CtxNew();
        const std::wstring path(sim->SlavePath().begin(), sim->SlavePath().end());
        opened = Q_CtxOpenCom(ctx, path.c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs);
    }
    ~Adapter() {
        Q_CtxFree(ctx);
        sim->Stop();
    }
    std::unique_ptr<sim::Simulator> sim;
    QRV_CTX* ctx = nullptr;
    bool started = false;
    int opened = 0;
};

// What a search leaves: its result, the list and the error code.
struct SearchSeen {
    int result = -1, count = -1, error = -1;
    std::vector<std::uint16_t> addresses;
    bool operator==(const SearchSeen&) const = default;
};

SearchSeen Search(QRV_CTX* ctx) {
    SearchSeen seen;
    seen.result = Q_CtxQRV_SearchDev(ctx, 11, 0);
    seen.error = Q_CtxGetLastError(ctx);
    seen.count = Q_CtxQRV_GetSearchDevCount(ctx);
    for (int i = 0; i < seen.count; ++i) {
        ModuleBase base{};
        Q_CtxQRV_GetRemoteDevBase(ctx, &base, i);
        seen.addresses.push_back(base.NetAddr);
    }
    return seen;
}

// What load, write, read back and upgrade leave.
struct LocalSeen {
    int loaded = -1, submitted = -1, reloaded = -1, upgraded = -1, error = -1;
    std::string name;
    bool operator==(const LocalSeen&) const = default;
};

LocalSeen LoadWriteUpgrade(QRV_CTX* ctx, const std::wstring& image) {
    LocalSeen seen;
    ModuleBase base{};
    ModuleProperty record{};
    seen.loaded = Q_CtxQRV_GetPropertyAll(ctx, &base, &record);
    std::strcpy(record.DevName, "Line-7");
    Q_CtxQRV_SetLocalPropertyAll(ctx, nullptr, &record);
    seen.submitted = Q_CtxQRV_SubmitInfo(ctx);
    ModuleProperty back{};
    seen.reloaded = Q_CtxQRV_GetPropertyAll(ctx, &base, &back);
    seen.name = back.DevName;
    seen.upgraded = Q_CtxQRV_UpdateWithFileNameLocal(ctx, image.c_str(), kRunStateBoot, 0x0506, 0);
    seen.error = Q_CtxGetLastError(ctx);
    return seen;
}

void Quiet(int, const char*, void*) {}

class Contexts : public ::testing::Test {
protected:
    void SetUp() override {
        image_ = dir_.Write("image.bin", ImageBytes({0, 0, 0x40, 0x140, 16})).wstring();
    }
    TempDir dir_;
    std::wstring image_;
};

TEST_F(Contexts, TwoAdaptersAtOnceGiveWhatTheyGiveOneAfterTheOther) {
    SearchSeen searchAlone, searchTogether;
    LocalSeen localAlone, localTogether;
    Clock::duration alone{}, together{};
    {
        Adapter a, b;
        ASSERT_TRUE(a.started && b.started && a.opened && b.opened);
        Q_CtxSetMessageHandler(b.ctx, &Quiet, nullptr);
        const auto start = Clock::now();
        searchAlone = Search(a.ctx);
        localAlone = LoadWriteUpgrade(b.ctx, image_);
        alone = Clock::now() - start;
    }
    {
        Adapter a, b;
        ASSERT_TRUE(a.started && b.started && a.opened && b.opened);
        Q_CtxSetMessageHandler(b.ctx, &Quiet, nullptr);
        const auto start = Clock::now();
        std::thread other([&] { localTogether = LoadWriteUpgrade(b.ctx, image_); });
        searchTogether = Search(a.ctx);
        other.join();
        together = Clock::now() - start;
    }
    EXPECT_EQ(searchAlone.result, 1);
    EXPECT_EQ(searchAlone.count, 3);
    EXPECT_EQ(localAlone, (LocalSeen{1, 1, 1, 1, 0, "Line-7"}));
    EXPECT_EQ(searchTogether, searchAlone);
    EXPECT_EQ(localTogether, localAlone);
    // Neither waited for the other.
    EXPECT_LT(together, alone * 85 / 100);
    // The default context saw none of it.
    EXPECT_EQ(Q_QRV_GetSearchDevCount(), 0);
    EXPECT_EQ(Q_ComCheckOpen(), 0);
}

// A far-module read -> change -> submit under Q_LockExchanges, while another
// thread searches over and over: no frame of the search is written between.
std::atomic<bool> holding{false};
std::atomic<int> intruders{0};
std::thread::id holder;

void WatchIntruders(void*, std::int32_t direction, const std::uint8_t*, std::int32_t, std::uint64_t) {
    if (direction == 0 && holding && std::this_thread::get_id() != holder) ++intruders;
}

TEST_F(Contexts, HeldLockKeepsAnotherThreadsSearchOutOfAReadChangeSubmit) {
    sim::SimulatorOptions options;
    options.baud = kBaud;
    options.restartTime = std::chrono::milliseconds(20);
    sim::Simulator simulator(sim::Scenario::Default(), options);
    ASSERT_TRUE(simulator.Start());
    const std::wstring path(simulator.SlavePath().begin(), simulator.SlavePath().end());
    ASSERT_EQ(Q_OpenCom(path.c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
    Q_QRV_ClearSearchArr();
    ASSERT_EQ(Q_QRV_SearchDevByAddr(11, 0, 0x0102), 1);
    Q_SetTraceHandler(&WatchIntruders, nullptr);

    std::atomic<bool> done{false};
    std::atomic<int> searches{0};
    std::thread searcher([&] {
        while (!done) {
            Q_QRV_SearchDevByAddr(11, 0, 0x0203);
            ++searches;
        }
    });
    int submitted = 0;
    for (int round = 0; round < 2; ++round) {
        while (searches < round + 1) std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ASSERT_EQ(Q_LockExchanges(), 1);
        ASSERT_EQ(Q_LockExchanges(), 1);  // pairs nest
        holder = std::this_thread::get_id();
        holding = true;
        ModuleProperty record{};
        ASSERT_EQ(Q_QRV_GetRemoteDevPropertyAll(&record, 0), 1);
        record.RetryCount = static_cast<std::uint8_t>(3 + round);
        Q_QRV_SetRemotePropertyAll(&record, 0);
        submitted += Q_QRV_SubmitRemoteDevInfo(0);
        holding = false;
        EXPECT_EQ(Q_UnlockExchanges(), 1);
        EXPECT_EQ(Q_UnlockExchanges(), 1);
    }
    EXPECT_EQ(Q_UnlockExchanges(), 0);  // not held any more
    done = true;
    searcher.join();
    Q_SetTraceHandler(nullptr, nullptr);
    Q_CloseCom();
    simulator.Stop();
    EXPECT_EQ(submitted, 2);
    EXPECT_GE(searches, 2);
    EXPECT_EQ(intruders, 0);
}

// A trace handler on one context calls into another and into its own.
struct Crossing {
    QRV_CTX* self;
    QRV_CTX* other;
    std::atomic<int> calls{0};
    int onOther = -1, onSelf = -1, selfReason = -1, selfLock = -1;
};

void CrossOver(void* user, std::int32_t, const std::uint8_t*, std::int32_t, std::uint64_t) {
    auto* crossing = static_cast<Crossing*>(user);
    if (crossing->calls++ != 0) return;
    crossing->onOther = Q_CtxQRV_LoadInfo(crossing->other);
    ModuleProperty record{};
    crossing->onSelf = Q_CtxQRV_GetPropertyAll(crossing->self, nullptr, &record);
    crossing->selfReason = Q_GetLastFailure(nullptr, 0);
    crossing->selfLock = Q_CtxLock(crossing->self);
}

TEST_F(Contexts, HandlersMayCallAnotherContextButNotTheirOwn) {
    Adapter a, b;
    ASSERT_TRUE(a.opened && b.opened);
    Crossing crossing{a.ctx, b.ctx};
    Q_CtxSetTraceHandler(a.ctx, &CrossOver, &crossing);
    EXPECT_EQ(Q_CtxQRV_LoadInfo(a.ctx), 1);
    Q_CtxSetTraceHandler(a.ctx, nullptr, nullptr);
    EXPECT_EQ(crossing.onOther, 1);
    EXPECT_EQ(crossing.onSelf, 0);
    EXPECT_EQ(crossing.selfReason, QRV_FAIL_ARGUMENT);
    EXPECT_EQ(crossing.selfLock, 0);
}

TEST(ContextArguments, NullContextFailsWithArgument) {
    const std::vector<std::pair<const char*, int (*)()>> calls = {
        {"open", [] { return Q_CtxOpenCom(nullptr, L"/dev/null", kBaud, 8, 0, 0, 0, 0, 0, 0, 100); }},
        {"load", [] { return Q_CtxQRV_LoadInfo(nullptr); }},
        {"search", [] { return Q_CtxQRV_SearchDev(nullptr, 11, 0); }},
        {"count", [] { return Q_CtxQRV_GetSearchDevCount(nullptr); }},
        {"error", [] { return Q_CtxGetLastError(nullptr); }},
        {"lock", [] { return Q_CtxLock(nullptr); }},
        {"io", [] { return static_cast<int>(Q_CtxQRV_GetIOvalueLocal(nullptr, nullptr, 1)); }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_EQ(call(), 0) << name;
        EXPECT_EQ(Q_GetLastFailure(nullptr, 0), QRV_FAIL_ARGUMENT) << name;
    }
    Q_CtxFree(nullptr);  // ignored
}

// Frames written on a context, in order.
struct Written {
    std::mutex mutex;
    std::vector<std::uint8_t> codes;
};

void RecordWritten(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                   std::uint64_t) {
    auto* written = static_cast<Written*>(user);
    if (direction != 0 || length < 2) return;
    std::lock_guard lock(written->mutex);
    written->codes.push_back(bytes[1]);
}

TEST(ContextFree, WaitsForTheCallInFlightThenClosesThePort) {
    sim::SimulatorOptions options;
    options.baud = kBaud;
    sim::Simulator simulator(sim::Scenario::Default(), options);
    ASSERT_TRUE(simulator.Start());
    QRV_CTX* ctx = Q_CtxNew();
    const std::wstring path(simulator.SlavePath().begin(), simulator.SlavePath().end());
    ASSERT_EQ(Q_CtxOpenCom(ctx, path.c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
    Written written;
    Q_CtxSetTraceHandler(ctx, &RecordWritten, &written);
    std::thread searcher([&] { Q_CtxQRV_SearchDev(ctx, 11, 0); });
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::lock_guard lock(written.mutex);
        if (!written.codes.empty()) break;
    }
    Q_CtxFree(ctx);
    // The search ran to its end: tuned, asked, tuned back.
    {
        std::lock_guard lock(written.mutex);
        ASSERT_GE(written.codes.size(), 3u);
        EXPECT_EQ(written.codes.front(), 0xD4);
        EXPECT_EQ(written.codes.back(), 0xD4);
    }
    searcher.join();
    simulator.Stop();
}

}  // namespace
}  // namespace qrv::test
