// The traffic as a trace handler and QRVLINK_TRACE see it: every request and
// every answer of a load, a search and an upgrade, in order, on a monotonic
// clock; and the library's decoded lines read as the simulator's do.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <sstream>
#include <utility>
#include <vector>

#include "image_file.h"
#include "records/module_records.h"
#include "simulated_line.h"

namespace qrv::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Traced {
    std::int32_t direction;
    Bytes bytes;
    std::uint64_t microseconds;
};

struct TraceLog {
    std::mutex mutex;
    std::vector<Traced> frames;
    static void Handler(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                        std::uint64_t microseconds) {
        auto* log = static_cast<TraceLog*>(user);
        std::lock_guard lock(log->mutex);
        log->frames.push_back({direction, Bytes(bytes, bytes + length), microseconds});
    }
};

// "[   812.004211] /dev/pts/3 -> AB D1 BA | read-base-info": seconds with
// six decimals, the port, the direction, the bytes in hex, and their decoding.
bool IsTraceLine(const std::string& line, const std::string& port) {
    if (line.empty() || line.front() != '[') return false;
    std::istringstream in(line.substr(1));
    std::string time, named, arrow, hex;
    if (!(in >> time)) return false;
    const auto dot = time.find('.');
    if (dot == std::string::npos || time.size() != dot + 8 || time.back() != ']') return false;
    if (!(in >> named) || named != port) return false;
    if (!(in >> arrow) || (arrow != "->" && arrow != "<-")) return false;
    int bytes = 0;
    while (in >> hex && hex != "|") {
        if (hex.size() != 2 || hex.find_first_not_of("0123456789ABCDEF") != std::string::npos) return false;
        ++bytes;
    }
    std::string meaning;
    return hex == "|" && bytes > 0 && std::getline(in, meaning) && meaning.size() > 1;
}

class Trace : public SimulatedLine {
protected:
    void TearDown() override {
        Q_SetTraceHandler(nullptr, nullptr);
        SimulatedLine::TearDown();
    }
    // What the simulated module logged, one direction's bytes in order.
    std::vector<Bytes> Logged(sim::LogKind kind) const {
        std::vector<Bytes> found;
        for (const auto& entry : sim_->Log())
            if (entry.kind == kind) found.push_back(entry.bytes);
        return found;
    }
};

TEST_F(Trace, EveryRequestAndAnswerInOrder) {
    Start(200);
    TraceLog log;
    Q_SetTraceHandler(&TraceLog::Handler, &log);
    TempDir dir;
    const std::wstring image = dir.Write("image.bin", ImageBytes({0, 0, 0x40, 0xC0, 16})).wstring();
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    ASSERT_EQ(Q_QRV_SearchDev(11, 0), 1);
    ASSERT_EQ(Q_QRV_UpdateWithFileNameLocal(image.c_str(), kRunStateBoot, 0x0506, 0), 1);
    Q_SetTraceHandler(nullptr, nullptr);

    std::vector<Bytes> written;
    Bytes read;
    std::uint64_t last = 0;
    for (const Traced& frame : log.frames) {
        EXPECT_GE(frame.microseconds, last);
        last = frame.microseconds;
        EXPECT_FALSE(frame.bytes.empty());  // a read that got nothing is not traced
        if (frame.direction == 0) written.push_back(frame.bytes);
        else read.insert(read.end(), frame.bytes.begin(), frame.bytes.end());
    }
    EXPECT_EQ(written, Logged(sim::LogKind::Request));
    Bytes answered;
    for (const Bytes& answer : Logged(sim::LogKind::Answer)) answered.insert(answered.end(), answer.begin(), answer.end());
    EXPECT_EQ(read, answered);
    EXPECT_EQ(written.size(), 2u + 3u + 2u + 1u + 2u);  // load, search, blocks, finish, restarts
}

// Runs as its own ctest with QRVLINK_TRACE=stderr; skipped otherwise.
TEST_F(Trace, DecodedLinesOnStandardErrorMatchTheSimulators) {
    const char* where = std::getenv("QRVLINK_TRACE");
    if (where == nullptr || std::string(where) != "stderr") GTEST_SKIP() << "needs QRVLINK_TRACE=stderr";
    std::vector<std::string> simulated;
    std::mutex simulatedMutex;
    sim::SimulatorOptions options;
    options.baud = 9600;
    options.trace = [&](const std::string& line) {
        std::lock_guard lock(simulatedMutex);
        simulated.push_back(line);
    };
    sim_ = std::make_unique<sim::Simulator>(sim::Scenario::Default(), options);
    ASSERT_TRUE(sim_->Start());
    ASSERT_EQ(Q_OpenCom(Path().c_str(), 9600, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs), 1);

    std::fflush(stderr);
    char name[] = "/tmp/qrv-trace-XXXXXX";
    const int file = mkstemp(name);
    const int saved = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    const int loaded = Q_QRV_LoadInfo();
    dup2(saved, STDERR_FILENO);
    close(saved);
    close(file);
    ASSERT_EQ(loaded, 1);
    std::ifstream in(name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    unlink(name);

    // The library's lines read as the simulator's: the same decoding.
    ASSERT_EQ(lines.size(), 4u);
    sim_->Stop();
    ASSERT_EQ(simulated.size(), 4u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(IsTraceLine(lines[i], sim_->SlavePath())) << lines[i];
        EXPECT_EQ(lines[i].substr(lines[i].find("] ") + 3 + sim_->SlavePath().size()), simulated[i]);
    }
    EXPECT_NE(lines[0].find("-> AB D1 BA | read-base-info"), std::string::npos);
    EXPECT_NE(lines[3].find("<- AB D2 "), std::string::npos);
}

}  // namespace
}  // namespace qrv::test

namespace qrv::test {
namespace {

// What a trace handler may call while the exchange that traced runs: the
// calls that never wait answer, every call that takes the exchange lock is
// refused at once, even one that only copies from the cached record.
struct InsideHandler {
    int calls = 0;
    std::vector<std::pair<const char*, std::pair<int, std::int32_t>>> results;
    static void Handler(void* user, std::int32_t, const std::uint8_t* bytes, std::int32_t length, std::uint64_t) {
        auto* self = static_cast<InsideHandler*>(user);
        if (self->calls++ > 0) return;
        char buffer[32] = {};
        const auto note = [&](const char* name, int result) {
            self->results.push_back({name, {result, Q_GetLastFailure(nullptr, 0)}});
        };
        note("GetProperty", Q_QRV_GetProperty(3, buffer, sizeof buffer));
        note("LoadInfo", Q_QRV_LoadInfo());
        note("DescribeFrame", Q_DescribeFrame(bytes, length, buffer, sizeof buffer));
        note("ComCheckOpen", Q_ComCheckOpen());
    }
};

TEST_F(Trace, AHandlerIsRefusedEveryCallThatTakesTheExchangeLock) {
    Start(200);
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    InsideHandler inside;
    Q_SetTraceHandler(&InsideHandler::Handler, &inside);
    ASSERT_EQ(Q_QRV_LoadInfo(), 1);
    Q_SetTraceHandler(nullptr, nullptr);
    const decltype(inside.results) expected = {{"GetProperty", {0, QRV_FAIL_ARGUMENT}},
                                               {"LoadInfo", {0, QRV_FAIL_ARGUMENT}},
                                               {"DescribeFrame", {1, QRV_FAIL_ARGUMENT}},
                                               {"ComCheckOpen", {1, QRV_FAIL_ARGUMENT}}};
    ASSERT_EQ(inside.results.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_STREQ(inside.results[i].first, expected[i].first);
        EXPECT_EQ(inside.results[i].second, expected[i].second) << expected[i].first;
    }
}

}  // namespace
}  // namespace qrv::test
