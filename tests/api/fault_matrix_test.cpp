// Every export that talks to the module, against every fault the line can
// show (the answer dropped, refused, cut, split, late, after garbage, run on
// by a byte, its last byte or its echo changed, the adapter pulled): the call's result, its failure reason, Q_GetLastError's code, the
// cached records and search list left exactly as they were, and the same
// call working again once the line is sound. One table says it all.
//
// Seeded: the garbage bytes come from the simulator's fixed seed. By hand,
// longer and in other orders (each repeat draws new garbage):
//   api_fault_matrix --gtest_repeat=20 --gtest_shuffle
//
// The cases share one process and one known state (the home pair searched,
// the IO module's record loaded), rebuilt only when a case changed it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "image_file.h"
#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "records/module_records.h"
#include "sim/simulator.h"

namespace qrv::test {
namespace {

using namespace std::chrono_literals;
using sim::FaultKind;

// Short enough to keep the matrix quick. A late answer comes well after even
// a search's three silent reads, a split answer's second half well after
// the read that took the first; both still fall inside the second the
// library waits before it reads a factory reset's answer.
constexpr int kReadTimeoutMs = 150;
constexpr auto kLateDelay = 800ms;
constexpr auto kSplitGap = 300ms;
constexpr int kCodeBefore = Q_ERR_BAD_INDEX;
constexpr std::uint16_t kIoModule = 0x0203;      // far, on the home pair 11 / 250K
constexpr std::uint16_t kUpgradeTarget = 0x0102; // far, on the home pair, user firmware
constexpr std::uint16_t kAlonePair = 0x0304;     // alone on 26 / 1M

constexpr FaultKind kFaults[] = {FaultKind::Drop,   FaultKind::BadStatus, FaultKind::Truncate,  FaultKind::Split,
                                 FaultKind::Garbage, FaultKind::Late,     FaultKind::Unplug,    FaultKind::Extend,
                                 FaultKind::Flip,    FaultKind::WrongEcho};
constexpr std::size_t kFaultCount = std::size(kFaults);

// Entry indices and the image, set up once.
int ioEntry = -1;
std::unique_ptr<TempDir> imageDir;
std::wstring imagePath;

struct Export {
    const char* name;
    std::function<int()> call;
    sim::CommandKey faulted;
    bool clearsCode;  // Q_GetLastError reads 0 afterwards; otherwise it keeps what it held
    // The failure reason under each fault of kFaults; QRV_FAIL_NONE: the call succeeds.
    std::array<std::int32_t, kFaultCount> expected;
};

sim::CommandKey Config(std::uint8_t code) { return {sim::Family::Config, code}; }
sim::CommandKey Io(std::uint8_t code) { return {sim::Family::Io, code}; }

constexpr std::int32_t OK = QRV_FAIL_NONE, SILENT = QRV_FAIL_NO_ANSWER, BAD = QRV_FAIL_BAD_ANSWER,
                       NO = QRV_FAIL_REFUSED, LOST = QRV_FAIL_PORT_LOST;
// Columns in the order of kFaults:
//   drop, status, truncate, split, garbage, late, unplug, extend, flip, echo
// Every answer is judged by its command's own rule, no more: most rules
// look at the length, the echo and the status, few at the end byte, so an
// inverted end byte passes where the rule does not name it.
// An answer with a status byte: refused under `status`.
constexpr std::array<std::int32_t, kFaultCount> kJudged = {SILENT, NO, BAD, BAD, BAD, SILENT, LOST, BAD, OK, BAD};
// The IO set answers: length and status only (the local set-directions
// answer not even its status).
constexpr std::array<std::int32_t, kFaultCount> kIoSet = {SILENT, NO, BAD, BAD, BAD, SILENT, LOST, BAD, OK, OK};
constexpr std::array<std::int32_t, kFaultCount> kIoSetLocalDirections = {SILENT, OK,  BAD, BAD, BAD,
                                                                         SILENT, LOST, BAD, OK, OK};
// The prepare step's answer: length and status, not the echo.
constexpr std::array<std::int32_t, kFaultCount> kUpdateStep = {SILENT, NO, BAD, BAD, BAD, SILENT, LOST, BAD, OK, OK};
// An answer without a status byte: `status` passes it unchanged.
constexpr std::array<std::int32_t, kFaultCount> kRead = {SILENT, OK, BAD, BAD, BAD, SILENT, LOST, BAD, OK, BAD};
// The IO lines answer names its start and end bytes too.
constexpr std::array<std::int32_t, kFaultCount> kIoLines = {SILENT, OK, BAD, BAD, BAD, SILENT, LOST, BAD, BAD, BAD};
// The AD answer: its length only.
constexpr std::array<std::int32_t, kFaultCount> kAd = {SILENT, OK, BAD, BAD, BAD, SILENT, LOST, BAD, OK, OK};
// The record answer has no end byte and may run on: a byte more and its
// last record byte changed (nothing in the frame can tell) pass.
constexpr std::array<std::int32_t, kFaultCount> kRecord = {SILENT, OK, BAD, BAD, BAD, SILENT, LOST, OK, OK, BAD};
// A restart is not answered: only a pulled module is noticed, and only by
// the next exchange (the frame was written, so the restart counts as done).
constexpr std::array<std::int32_t, kFaultCount> kUnanswered = {OK, OK, OK, OK, OK, OK, OK, OK, OK, OK};
// A firmware block is sent again (up to three times) whatever went wrong
// with its acknowledgement, short of a pulled module.
constexpr std::array<std::int32_t, kFaultCount> kRetried = {OK, OK, OK, OK, OK, OK, LOST, OK, OK, OK};
// A factory reset's answer is read a second after the request: a split or
// late answer is whole by then.
constexpr std::array<std::int32_t, kFaultCount> kReadAfterSecond = {SILENT, NO, BAD, OK, BAD, OK, LOST, BAD, OK, BAD};
// A search reads each answer with room for exactly one: a byte after a
// sound answer is left over; a wrong echo is no answer to the search.
constexpr std::array<std::int32_t, kFaultCount> kSearched = {SILENT, OK, SILENT, SILENT, SILENT,
                                                             SILENT, LOST, OK, OK, SILENT};

std::uint8_t ioValue = 0;
std::uint8_t adBlock[8] = {};
ModuleBase base{};
ModuleProperty property{};

const Export kExports[] = {
    {"Local_LoadInfo", [] { return Q_QRV_LoadInfo(); }, Config(protocol::kCmdReadProperty), true, kRecord},
    {"Local_GetPropertyAll", [] { return Q_QRV_GetPropertyAll(&base, &property); },
     Config(protocol::kCmdReadBaseInfo), true, kRead},
    {"Local_SubmitInfo", [] { return Q_QRV_SubmitInfo(); }, Config(protocol::kCmdWriteProperty), true, kJudged},
    {"Local_ResetDev", [] { return Q_QRV_ResetDev(); }, Config(protocol::kCmdResetModule), false, kUnanswered},
    {"Local_ResetToDefault", [] { return Q_QRV_ResetToDefault(); }, Config(protocol::kCmdFactoryReset), false,
     kReadAfterSecond},
    {"Search_SearchDev", [] { return Q_QRV_SearchDev(26, 2); }, Config(protocol::kCmdSearchBroadcast), true,
     kSearched},
    {"Search_SearchDevByAddr", [] { return Q_QRV_SearchDevByAddr(26, 2, kAlonePair); },
     Config(protocol::kCmdSearchByAddr), true, kSearched},
    {"Remote_LoadRemoteDevInfo", [] { return Q_QRV_LoadRemoteDevInfo(ioEntry); }, Config(protocol::kCmdReadProperty),
     true, kRecord},
    {"Remote_GetRemoteDevPropertyAll", [] { return Q_QRV_GetRemoteDevPropertyAll(&property, ioEntry); },
     Config(protocol::kCmdReadProperty), true, kRecord},
    {"Remote_SubmitRemoteDevInfo", [] { return Q_QRV_SubmitRemoteDevInfo(ioEntry); },
     Config(protocol::kCmdWriteProperty), true, kJudged},
    {"Remote_ResetRemoteDev", [] { return Q_QRV_ResetRemoteDev(ioEntry); }, Config(protocol::kCmdResetModule), true,
     kUnanswered},
    {"Remote_ResetRemoteToDefault", [] { return Q_QRV_ResetRemoteToDefault(ioEntry); },
     Config(protocol::kCmdFactoryReset), true, kReadAfterSecond},
    // The local module's answer to set-directions is not checked for status.
    {"Io_SetIODirAllLocal", [] { return Q_QRV_SetIODirAllLocal(0x0F); }, Io(protocol::kIoCmdSetDirections), false,
     kIoSetLocalDirections},
    {"Io_SetIODirAllRemote", [] { return Q_QRV_SetIODirAllRemote(ioEntry, 0x0F); },
     Io(protocol::kIoCmdSetDirections), false, kIoSet},
    {"Io_SetIOValueLocal", [] { return Q_QRV_SetIOValueLocal(0x05); }, Io(protocol::kIoCmdSetOutputs), false,
     kIoSet},
    {"Io_SetIOValueRemote", [] { return Q_QRV_SetIOValueRemote(ioEntry, 0x05); }, Io(protocol::kIoCmdSetOutputs),
     false, kIoSet},
    {"Io_GetIOvalueLocal", [] { return int{Q_QRV_GetIOvalueLocal(&ioValue, 1)}; }, Io(protocol::kIoCmdReadInputs),
     false, kIoLines},
    {"Io_GetIOvalueRemote", [] { return int{Q_QRV_GetIOvalueRemote(ioEntry, &ioValue, 1)}; },
     Io(protocol::kIoCmdReadInputs), false, kIoLines},
    {"Io_GetADvalueLocal", [] { return int{Q_QRV_GetADvalueLocal(adBlock, 8)}; }, Io(protocol::kIoCmdReadAd), false,
     kAd},
    {"Io_GetADvalueRemote", [] { return int{Q_QRV_GetADvalueRemote(ioEntry, adBlock, 8)}; },
     Io(protocol::kIoCmdReadAd), false, kAd},
    {"Firmware_UpdateWithFileNameLocal",
     [] { return Q_QRV_UpdateWithFileNameLocal(imagePath.c_str(), kRunStateUser, kUpgradeTarget, 0x10); },
     Config(protocol::kCmdEnterUpdate), false, kUpdateStep},
    {"Firmware_UpdateBlock",
     [] { return Q_QRV_UpdateWithFileNameLocal(imagePath.c_str(), kRunStateUser, kUpgradeTarget, 0x10); },
     Config(protocol::kCmdFirmwareBlock), false, kRetried},
};

// What the library keeps between calls: the search list and every numbered
// property of the local record and of each entry's record (with the result
// of asking, so "not loaded" counts too).
struct Cache {
    std::vector<std::string> parts;
    bool operator==(const Cache&) const = default;
};

std::string Property(int result, const char (&buffer)[17]) {
    return std::to_string(result) + ":" + std::string(buffer, sizeof buffer);
}

Cache Snapshot() {
    Cache cache;
    const int count = Q_QRV_GetSearchDevCount();
    for (int index = 0; index <= count; ++index) {
        ModuleBase entry{};
        const int found = Q_QRV_GetRemoteDevBase(&entry, index);
        cache.parts.emplace_back(std::to_string(found) + std::string(reinterpret_cast<const char*>(&entry), sizeof entry));
        for (int number = 1; number <= 18; ++number) {
            char buffer[17] = {};
            cache.parts.push_back(Property(Q_QRV_GetRemoteDevProperty(index, number, buffer, sizeof buffer), buffer));
        }
    }
    for (int number = 1; number <= 18; ++number) {
        char buffer[17] = {};
        cache.parts.push_back(Property(Q_QRV_GetProperty(number, buffer, sizeof buffer), buffer));
    }
    return cache;
}

// The local record's part of a snapshot (its last 18 parts).
std::vector<std::string> Local(const Cache& cache) {
    return {cache.parts.end() - 18, cache.parts.end()};
}

int EntryOf(std::uint16_t address) {
    for (int index = 0; index < Q_QRV_GetSearchDevCount(); ++index) {
        ModuleBase entry{};
        if (Q_QRV_GetRemoteDevBase(&entry, index) == 1 && entry.NetAddr == address) return index;
    }
    return -1;
}

void Quiet(int, const char*, void*) {}

class FaultMatrix : public ::testing::TestWithParam<std::tuple<Export, FaultKind>> {
protected:
    static void SetUpTestSuite() {
        Q_SetMessageHandler(Quiet, nullptr);
        imageDir = std::make_unique<TempDir>();
        // One second-region block: the upgrade's pauses stay short.
        imagePath = imageDir->Write("image.bin", ImageBytes({0, 0, 0x100, 0x140, 16})).wstring();
    }
    static void TearDownTestSuite() {
        Q_CloseCom();
        sim_.reset();
        imageDir.reset();
    }

    // A sound simulator with nothing pending, the port open on it, and the
    // library's state as every case expects it.
    void SetUp() override {
        if (!sim_ || sim_->Unplugged()) Restart();
        sim_->ClearFaults();
        if (unfinished_) Settle();
        unfinished_ = true;
        Repair();
        ASSERT_EQ(Snapshot(), baseline_);
    }

    static void Restart() {
        Q_CloseCom();
        sim_.reset();
        sim::SimulatorOptions options;
        options.baud = 9600;
        options.restartTime = 20ms;
        options.lateDelay = kLateDelay;
        options.splitGap = kSplitGap;
        sim_ = std::make_unique<sim::Simulator>(sim::Scenario::Default(), options);
        ASSERT_TRUE(sim_->Start());
        const std::wstring path(sim_->SlavePath().begin(), sim_->SlavePath().end());
        ASSERT_EQ(Q_OpenCom(path.c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);
    }

    // Brings back what the last case changed, and only that: the local
    // record, the IO entry's record, or the whole list.
    static void Repair() {
        if (baseline_.parts.empty()) {
            Q_QRV_ClearSearchArr();
            ASSERT_EQ(Q_QRV_LoadInfo(), 1);
            ASSERT_EQ(Q_QRV_SearchDev(11, 0), 1);
            ioEntry = EntryOf(kIoModule);
            ASSERT_GE(ioEntry, 0);
            ASSERT_GE(EntryOf(kUpgradeTarget), 0);
            ASSERT_EQ(Q_QRV_LoadRemoteDevInfo(ioEntry), 1);
            baseline_ = Snapshot();
            return;
        }
        const Cache now = Snapshot();
        if (now == baseline_) return;
        if (now.parts.size() != baseline_.parts.size() || EntryOf(kIoModule) != ioEntry) {
            baseline_ = {};
            Repair();
            return;
        }
        if (Local(now) != Local(baseline_)) {
            ASSERT_EQ(Q_QRV_LoadInfo(), 1);
        }
        if (Snapshot() != baseline_) {
            ASSERT_EQ(Q_QRV_LoadRemoteDevInfo(ioEntry), 1);
        }
    }

    // Waits until the simulator has sent everything it scheduled (after a
    // case that stopped half-way).
    static void Settle() {
        std::size_t seen = sim_->Log().size();
        for (int i = 0; i < 100; ++i) {
            std::this_thread::sleep_for(30ms);
            const std::size_t now = sim_->Log().size();
            if (now == seen && i >= 4) break;
            seen = now;
        }
    }

    static bool FaultActed() {
        for (const auto& entry : sim_->Log())
            if (entry.kind == sim::LogKind::Fault || entry.kind == sim::LogKind::Unplugged) return true;
        return false;
    }

    // The faulted command's bursts that left after the fault acted.
    static std::size_t BurstsAfterFault(const std::vector<sim::LogEntry>& log, sim::CommandKey command) {
        bool fault = false;
        std::size_t bursts = 0;
        for (const auto& entry : log) {
            if (entry.kind == sim::LogKind::Fault) fault = true;
            if (fault && entry.kind == sim::LogKind::Answer && entry.command && *entry.command == command) ++bursts;
        }
        return bursts;
    }

    static inline std::unique_ptr<sim::Simulator> sim_;
    static inline Cache baseline_;
    static inline bool unfinished_ = true;  // a case stopped before its end
};

TEST_P(FaultMatrix, ResultReasonCodeCacheAndRecovery) {
    const auto& [row, fault] = GetParam();
    const std::size_t column = static_cast<std::size_t>(std::find(std::begin(kFaults), std::end(kFaults), fault) -
                                                        std::begin(kFaults));
    const std::int32_t expected = row.expected[column];

    const Cache before = Snapshot();
    sim_->ClearLog();
    sim::Fault injected;
    injected.kind = fault;
    injected.command = row.faulted;
    injected.count = 1;
    sim_->AddFault(injected);
    ASSERT_EQ(Q_QRV_LoadRemoteDevInfo(99), 0);  // leaves code 105 to be kept or cleared
    ASSERT_EQ(Q_GetLastError(), kCodeBefore);

    const int result = row.call();
    char detail[256] = {};
    const std::int32_t reason = Q_GetLastFailure(detail, sizeof detail);
    EXPECT_EQ(result, expected == OK ? 1 : 0) << detail;
    EXPECT_EQ(reason, expected) << detail;
    EXPECT_EQ(Q_GetLastError(), row.clearsCode ? Q_ERR_NONE : kCodeBefore);
    // A restart's faults other than a pull have no answer to act on.
    EXPECT_EQ(FaultActed(), row.expected != kUnanswered || fault == FaultKind::Unplug);
    if (expected != OK) {
        EXPECT_EQ(Snapshot(), before) << "a failed call changed what the library keeps";
    }

    // Recovery: once the line is sound again (a new adapter after a pull),
    // the same call works. A split or late answer is let through first: it
    // would otherwise arrive inside the next exchange.
    if (fault == FaultKind::Unplug) {
        EXPECT_EQ(Q_QRV_LoadInfo(), 0);  // lost until closed
        EXPECT_EQ(Q_GetLastFailure(nullptr, 0), LOST);
        Restart();
    } else if ((fault == FaultKind::Split || fault == FaultKind::Late) && FaultActed()) {
        const std::size_t bursts = fault == FaultKind::Split ? 2 : 1;
        EXPECT_TRUE(sim_->WaitForLog(
            [&](const auto& log) { return BurstsAfterFault(log, row.faulted) >= bursts; }, 3s));
    }
    if (expected != OK) {
        EXPECT_EQ(row.call(), 1);
        EXPECT_EQ(Q_GetLastFailure(detail, sizeof detail), OK) << detail;
    }
    unfinished_ = false;
}

std::string CaseName(const ::testing::TestParamInfo<FaultMatrix::ParamType>& info) {
    return std::string(std::get<0>(info.param).name) + "_" + sim::FaultKindName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(Exports, FaultMatrix,
                         ::testing::Combine(::testing::ValuesIn(kExports), ::testing::ValuesIn(kFaults)), CaseName);

}  // namespace
}  // namespace qrv::test
