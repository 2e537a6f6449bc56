// The checks that talk to the module: at which rate it answers, and how
// the line behaves over a series of local reads, seen through the SDK's
// trace of every request and every read.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <thread>

#include "client/detect.h"
#include "client/doctor.h"
#include "client/sdk_link.h"
#include "qrvlink/qrvlink.h"

namespace qrv::client {

namespace {

constexpr std::uint16_t kDevTypeVlxIo = 0x12;
constexpr int kBitsPerByte = 10;
// Above the floor by more than this (plus the read interval the SDK waits
// out after the last byte) an answer counts as late: a module answers
// within a few milliseconds, an adapter's latency timer adds up to its period.
constexpr double kLateMarginMs = 8.0;

// What the local reads send: the pause before the read and the answer's length.
struct ExchangeShape {
    std::uint8_t start, code;
    int pauseMs;
    std::size_t answerLength;
    const char* name;
};
constexpr ExchangeShape kShapes[] = {
    {0xAB, 0xD1, 100, 10, "read-base-info"},
    {0xAB, 0xD2, 100, 63, "read-property"},
    {0xAA, 0xD7, 0, 13, "io-read-ad"},
};

struct TraceEvent {
    int direction;
    std::vector<std::uint8_t> bytes;
    std::uint64_t micros;
};

struct Collector {
    std::vector<TraceEvent> events;
    TraceChain chain;
};

void Collect(void* user, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length, std::uint64_t micros) {
    auto* collector = static_cast<Collector*>(user);
    collector->events.push_back({direction, std::vector<std::uint8_t>(bytes, bytes + length), micros});
    if (collector->chain.handler != nullptr) collector->chain.handler(collector->chain.user, direction, bytes, length, micros);
}

struct Exchange {
    const ExchangeShape* shape = nullptr;
    std::size_t requestLength = 0, received = 0;
    int reads = 0;         // read calls that brought bytes
    double elapsedMs = 0;  // request written .. last byte read
    double floorMs = 0;    // pause + both frames on the wire
};

std::vector<Exchange> Exchanges(const std::vector<TraceEvent>& events, int baud) {
    std::vector<Exchange> out;
    std::uint64_t written = 0;
    for (const TraceEvent& e : events) {
        if (e.direction == 0) {
            Exchange x;
            for (const ExchangeShape& s : kShapes)
                if (e.bytes.size() >= 2 && e.bytes[0] == s.start && e.bytes[1] == s.code) x.shape = &s;
            x.requestLength = e.bytes.size();
            written = e.micros;
            out.push_back(x);
            continue;
        }
        if (out.empty()) continue;
        Exchange& x = out.back();
        x.received += e.bytes.size();
        ++x.reads;
        x.elapsedMs = static_cast<double>(e.micros - written) / 1000.0;
    }
    std::erase_if(out, [](const Exchange& x) { return x.shape == nullptr; });
    for (Exchange& x : out)
        x.floorMs = x.shape->pauseMs +
                    1000.0 * kBitsPerByte * static_cast<double>(x.requestLength + x.shape->answerLength) / baud;
    return out;
}

std::string Ms(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", ms);
    return text;
}

CheckResult LineQuality(const std::string& port, int baud, int reads, bool tolerant, TraceChain chain) {
    CheckResult r{"line-quality", CheckVerdict::Pass, "clean", {}, {}, {}};
    if (Status st = OpenPort({port, baud, CommandReadTimeoutMs(baud)}); !st.Ok()) {
        r.verdict = CheckVerdict::Fail;
        r.outcome = "cannot-open";
        r.found = st.message;
        return r;
    }
    Collector collector{{}, chain};
    Q_SetTraceHandler(Collect, &collector);
    int failures = 0;
    ModuleBase base{};
    ModuleProperty property{};
    bool io = false;
    std::minstd_rand random(1);
    std::uniform_int_distribution<int> phase(0, 15);
    for (int i = 0; i < reads; ++i) {
        if (Q_QRV_GetPropertyAll(&base, &property) != 1) ++failures;
        else io = base.DevType == kDevTypeVlxIo;
        std::uint8_t ad[8];
        // The AD reads have no pause: they show what the adapter adds. The
        // first starts a random moment into the round, so that the answers
        // meet an adapter's latency timer at every phase, not at the one
        // this loop's period would lock onto (and cut the same way every
        // round). The second follows at once: its answer waits for the tick
        // after the one that brought the first, the timer in full.
        if (io) std::this_thread::sleep_for(std::chrono::milliseconds(phase(random)));
        for (int n = 0; io && n < 2; ++n)
            if (Q_QRV_GetADvalueLocal(ad, sizeof ad) != 1) ++failures;
    }
    Q_SetTraceHandler(chain.handler, chain.user);
    ClosePort();

    const std::vector<Exchange> exchanges = Exchanges(collector.events, baud);
    int pieces = 0, short_ = 0, late = 0;
    double worstOver = 0;
    std::vector<double> unpaused;  // excess of the exchanges read at once
    const double interval = std::max(1.0, 400000.0 / baud);  // the read interval: forty character times
    for (const Exchange& x : exchanges) {
        if (x.received > 0 && x.received < x.shape->answerLength) ++short_;
        if (x.reads > 1) ++pieces;
        const double over = x.elapsedMs - x.floorMs;
        if (x.received > 0) worstOver = std::max(worstOver, over);
        if (x.shape->pauseMs == 0 && x.received > 0) unpaused.push_back(over);
        if (x.shape->pauseMs == 0 && x.received > 0 && over > interval + kLateMarginMs) ++late;
    }
    // One late answer is the machine's scheduling; most of them, the adapter.
    std::sort(unpaused.begin(), unpaused.end());
    const double median = unpaused.empty() ? 0.0 : unpaused[unpaused.size() / 2];
    const int total = static_cast<int>(exchanges.size());
    r.facts = {{"exchanges", std::to_string(total)}, {"failures", std::to_string(failures)},
               {"short", std::to_string(short_)},    {"pieces", std::to_string(pieces)},
               {"late", std::to_string(late)},       {"worst-over-floor-ms", Ms(worstOver)},
               {"median-over-floor-ms", Ms(median)},
               {"tolerant", tolerant ? "1" : "0"}};
    r.found = std::to_string(reads) + " local reads, " + std::to_string(total) + " exchanges: " + std::to_string(failures) +
              " failed, " + std::to_string(short_) + " answers cut short, " + std::to_string(late) +
              " late; " + Ms(median) + " ms over the protocol floor typically, " + Ms(worstOver) + " ms at worst";
    if (tolerant && pieces > 0) r.found += "; " + std::to_string(pieces) + " arrived in pieces and were read whole";
    if (short_ > 0 && !tolerant) {
        // A few answers cut by a timer tick: the line works, now and then
        // an exchange fails. Most of them cut: IO cannot be read at all.
        r.verdict = short_ * 4 > static_cast<int>(unpaused.size()) ? CheckVerdict::Fail : CheckVerdict::Warn;
        r.outcome = "split";
        r.advice = "Answers arrive in pieces further apart than the read interval (" + Ms(interval) +
                   " ms at " + std::to_string(baud) + " baud). Lower the adapter's latency timer "
                   "(sudo qrvctl doctor --fix), use a lower rate, or read tolerantly (every command takes it):\n"
                   "  qrvctl ad --port " + port + " --tolerant-reads   (or QRVLINK_TOLERANT_READS=1)";
    } else if (failures > 0) {
        r.verdict = CheckVerdict::Fail;
        r.outcome = "failures";
        r.advice = "Exchanges fail without a visible cause: check the cable, the module's power supply, "
                   "and that no other program uses the port; qrvctl monitor shows the traffic.";
    } else if (median > interval + kLateMarginMs) {
        r.verdict = CheckVerdict::Warn;
        r.outcome = "late";
        // With the mode on, pieces are read whole: only the wait is left.
        r.advice = tolerant ? "Answers arrive late: a USB adapter's latency timer holds them back. Tolerant reads "
                              "keep the exchanges whole; lower the timer for speed (sudo qrvctl doctor --fix)."
                            : "Answers arrive late: a USB adapter's latency timer holds them back, and when one "
                              "straddles a timer tick it arrives in two pieces and the exchange fails. Lower the timer "
                              "(sudo qrvctl doctor --fix) or read tolerantly (every command takes it):\n"
                              "  qrvctl ad --port " + port + " --tolerant-reads   (or QRVLINK_TOLERANT_READS=1)";
    }
    return r;
}

}  // namespace

std::vector<CheckResult> LineChecks(const std::string& port, int reads, TraceChain chain) {
    const std::vector<std::string> ports{port};
    const std::vector<PortScan> scans = Detect(ports);
    const PortScan& scan = scans.front();
    std::vector<CheckResult> checks;
    if (!scan.found) {
        std::string rates;
        for (int baud : scan.ratesTried) rates += (rates.empty() ? "" : ", ") + std::to_string(baud);
        CheckResult r{"detection", CheckVerdict::Fail, scan.opened ? "no-answer" : "cannot-open", {{"rates", rates}}, {}, {}};
        if (!scan.opened) {
            r.found = scan.portFailure.message;
        } else {
            r.found = "no module answered at any rate (" + rates + ")";
            r.advice = "Check that the module has power (its LED), that TX and RX are crossed (adapter TX to "
                       "module RX) and share ground, that the line is 8N1, and that no boot switch holds the "
                       "module. Watch the traffic: qrvctl monitor --port " + port + " --baud 115200";
        }
        checks.push_back(r);
        checks.push_back({"line-quality", CheckVerdict::Skip, "no-module", {}, "no module to measure the line with", {}});
        return checks;
    }
    const int baud = scan.found->baud;
    checks.push_back({"detection", CheckVerdict::Pass, "answers", {{"baud", std::to_string(baud)}},
                      "the module answers at " + std::to_string(baud) + " baud", {}});
    if (scan.found->module.base.DevType == 0)
        checks.push_back({"boot-loader", CheckVerdict::Warn, "in-boot", {},
                          "the module runs its boot loader: an upgrade was interrupted",
                          "Run the upgrade again with the same image: qrvctl upgrade --port " + port + " FILE.bin"});
    // The library's own setting, as qrvctl or QRVLINK_TOLERANT_READS left it.
    const int tolerant = Q_SetTolerantReads(0);
    Q_SetTolerantReads(tolerant);
    checks.push_back(LineQuality(port, baud, reads, tolerant == 1, chain));
    return checks;
}

}  // namespace qrv::client
