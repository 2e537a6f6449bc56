#include "sim/usb_adapter.h"

#include <cstdlib>

namespace qrv::sim {

using namespace std::chrono;

namespace {

struct KnownAdapter {
    const char* kind;
    std::size_t packetSize;
    int timerMs;
};
// FTDI chips keep 2 status bytes of each 64-byte packet and wait 16 ms by
// default; the others send what they have at the next 1 ms USB frame.
constexpr KnownAdapter kAdapters[] = {
    {"ftdi", 62, 16}, {"ch340", 32, 1}, {"cp210x", 64, 1}, {"pl2303", 64, 1}};

}  // namespace

bool ParseAdapter(std::string_view text, AdapterShape& out, std::string& error) {
    const std::size_t colon = text.find(':');
    const std::string_view kind = text.substr(0, colon);
    for (const KnownAdapter& known : kAdapters) {
        if (kind != known.kind) continue;
        AdapterShape shape{known.kind, known.packetSize, milliseconds(known.timerMs)};
        if (colon != std::string_view::npos) {
            const std::string ms(text.substr(colon + 1));
            char* end = nullptr;
            const long value = std::strtol(ms.c_str(), &end, 10);
            if (ms.empty() || *end != '\0' || value < 1 || value > 255) {
                error = "latency timer must be 1..255 ms: \"" + ms + "\"";
                return false;
            }
            shape.timer = milliseconds(value);
        }
        out = shape;
        return true;
    }
    error = "unknown adapter \"" + std::string(kind) + "\" (ftdi, ch340, cp210x, pl2303)";
    return false;
}

std::vector<Delivery> DeliverThroughAdapter(const Bytes& bytes, Clock::time_point start, nanoseconds byteTime,
                                            const AdapterShape& adapter, Clock::time_point timerOrigin) {
    const auto period = duration_cast<Clock::duration>(adapter.timer);
    // The first tick after `t`.
    const auto nextTick = [&](Clock::time_point t) {
        if (period.count() <= 0 || t < timerOrigin) return timerOrigin;
        return timerOrigin + ((t - timerOrigin) / period + 1) * period;
    };
    std::vector<Delivery> out;
    Bytes waiting;
    Clock::time_point flushAt{};  // the tick that sends what is waiting
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const Clock::time_point arrived = start + duration_cast<Clock::duration>(byteTime * static_cast<long long>(i + 1));
        if (!waiting.empty() && flushAt <= arrived) out.push_back({std::move(waiting), flushAt}), waiting.clear();
        if (waiting.empty()) flushAt = nextTick(arrived);
        waiting.push_back(bytes[i]);
        if (waiting.size() >= adapter.packetSize) out.push_back({std::move(waiting), arrived}), waiting.clear();
    }
    if (!waiting.empty()) out.push_back({std::move(waiting), flushAt});
    return out;
}

std::vector<Bytes> SplitOnce(const Bytes& bytes, std::mt19937_64& random) {
    if (bytes.size() < 2) return {bytes};
    const auto cut = static_cast<std::ptrdiff_t>(std::uniform_int_distribution<std::size_t>(1, bytes.size() - 1)(random));
    return {Bytes(bytes.begin(), bytes.begin() + cut), Bytes(bytes.begin() + cut, bytes.end())};
}

}  // namespace qrv::sim
