#include "sim/simulator.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <future>

#include "protocol/frame_text.h"
#include "sim/line_rate.h"
#include "sim/line_timing.h"
#include "sim/uart_rate.h"

namespace qrv::sim {

using namespace std::chrono;

namespace {

// How long the line must stay quiet before a 71-byte firmware block counts
// as complete (a 72nd byte would make it a second-region block).
nanoseconds IdleGap(unsigned baud) { return std::max<nanoseconds>(3 * ByteTime(baud), milliseconds(2)); }

std::string TraceLine(const LogEntry& entry) {
    const char* arrow = entry.kind == LogKind::Request ? "->" : entry.kind == LogKind::Answer ? "<-" : "!!";
    std::string line = arrow;
    if (!entry.bytes.empty()) line += " " + protocol::HexBytes(entry.bytes);
    return line + " | " + entry.text;
}

// The SDK's own decoding of a frame, so both ends of a trace read alike.
std::string Decoded(std::span<const std::uint8_t> bytes, protocol::FrameDirection direction) {
    std::string text;
    protocol::DescribeFrame(bytes, direction, text);
    return text;
}

// A module's record says the rate its UART runs at.
Scenario AtLineRate(Scenario scenario, std::optional<std::uint8_t> index) {
    if (index) scenario.local.record.UartBaud = scenario.local.factory.UartBaud = *index;
    return scenario;
}

}  // namespace

Simulator::Simulator(const Scenario& scenario, SimulatorOptions options)
    : options_(std::move(options)),
      lineBaud_(options_.baud),
      followUart_(UartIndexOfRate(options_.baud).has_value()),
      baudMismatch_(scenario.baudMismatch),
      network_(AtLineRate(scenario, UartIndexOfRate(options_.baud)), options_.seed, options_.restartTime),
      faults_(options_.seed),
      noiseRandom_(options_.seed),
      splitRandom_(options_.seed + 1) {
    const microseconds interval = HostReadInterval(options_.baud);
    // Search answers come one by one, each a burst of its own: the gap is
    // over the host's read interval and far below its read time-out.
    searchGap_ = options_.searchGap.count() ? options_.searchGap : 2 * interval + milliseconds(1);
    faultTiming_.splitGap = options_.splitGap.count() ? options_.splitGap : 3 * interval + milliseconds(5);
    faultTiming_.lateDelay = options_.lateDelay;
    for (const Fault& fault : options_.faults) faults_.Add(fault);
    if (options_.station) {
        StationLine line = *options_.station;
        if (const auto index = UartIndexOfRate(options_.baud))
            for (ModuleConfig& m : line.waiting) m.record.UartBaud = m.factory.UartBaud = *index;
        network_.SetStationLine(std::move(line));
    }
}

Simulator::~Simulator() { Stop(); }

bool Simulator::Start(std::string* error) {
    if (thread_.joinable()) return true;
    std::string why;
    if (!pty_.Open(why)) {
        if (error) *error = why;
        return false;
    }
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        if (error) *error = std::string("eventfd: ") + std::strerror(errno);
        pty_.Close();
        return false;
    }
    std::promise<void> ready;
    std::future<void> started = ready.get_future();
    thread_ = std::thread([this, &ready] {
        ready.set_value();
        Run();
    });
    started.wait();
    return true;
}

void Simulator::Stop() {
    if (thread_.joinable()) {
        stopRequested_ = true;
        Wake();
        thread_.join();
    }
    pty_.Close();
    if (wakeFd_ >= 0) ::close(wakeFd_);
    wakeFd_ = -1;
}

void Simulator::Wake() {
    const std::uint64_t one = 1;
    if (wakeFd_ < 0) return;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd_, &one, sizeof one);
}

void Simulator::Run() {
    while (!stopRequested_) {
        if (unplugRequested_) {
            DoUnplug();
            return;
        }
        const Clock::time_point now = Clock::now();
        DecodeInput(now);
        if (unplugged_) return;
        if (!Transmit(now)) return;

        pollfd fds[2] = {{pty_.Master(), static_cast<short>(POLLIN | (writeBlocked_ ? POLLOUT : 0)), 0},
                         {wakeFd_, POLLIN, 0}};
        timespec timeout{};
        timespec* wait = nullptr;
        if (const auto wake = NextWake(now)) {
            const nanoseconds left = std::max<nanoseconds>(*wake - Clock::now(), nanoseconds(0));
            timeout.tv_sec = static_cast<time_t>(duration_cast<seconds>(left).count());
            timeout.tv_nsec = static_cast<long>((left % seconds(1)).count());
            wait = &timeout;
        }
        if (ppoll(fds, 2, wait, nullptr) < 0 && errno != EINTR) return;
        if (fds[1].revents & POLLIN) {
            std::uint64_t count;
            [[maybe_unused]] auto got = ::read(wakeFd_, &count, sizeof count);
        }
        if (fds[0].revents & POLLOUT) writeBlocked_ = false;
        if ((fds[0].revents & (POLLIN | POLLHUP)) && !ReadInput(Clock::now())) return;
    }
}

bool Simulator::ReadInput(Clock::time_point now) {
    std::uint8_t chunk[512];
    RefreshLineRate();
    const bool understood = HostRateMatches();
    for (;;) {
        const ssize_t n = ::read(pty_.Master(), chunk, sizeof chunk);
        if (n > 0) {
            if (!understood) {
                Garbled(Bytes(chunk, chunk + n), now);
                continue;
            }
            input_.insert(input_.end(), chunk, chunk + n);
            lastInput_ = now;
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        // EAGAIN: drained. EIO cannot happen while the keep-alive slave is open.
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

bool Simulator::HostRateMatches() const {
    if (options_.anyBaud) return true;
    const std::optional<unsigned> rate = HostLineRate(pty_.Master());
    return rate && *rate == lineBaud_;
}

// A restart may have put another rate into force: the UART runs at what the
// record says from then on.
void Simulator::RefreshLineRate() {
    if (!followUart_) return;
    std::lock_guard lock(mutex_);
    network_.Settle(Clock::now());
    if (const auto rate = network_.LocalUartRate()) lineBaud_ = *rate;
}

// Bytes sent at another rate reach the module's UART as framing errors: no
// frame can be made of them, so the module keeps quiet. A line set up for
// noise answers with what a UART at the wrong rate typically makes of a
// burst: runs of set or cleared bits, never a frame's start or command byte.
void Simulator::Garbled(Bytes bytes, Clock::time_point now) {
    const std::optional<unsigned> rate = HostLineRate(pty_.Master());
    const std::string text = "host line at " + (rate ? std::to_string(*rate) : std::string("?")) +
                             " baud, module at " + std::to_string(lineBaud_.load()) + ": not understood";
    AddLog({now, LogKind::Discarded, std::nullopt, std::move(bytes), text});
    if (baudMismatch_ != BaudMismatch::Junk) return;
    static constexpr std::uint8_t kNoise[] = {0x00, 0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF, 0x78, 0x1E, 0x06};
    std::uniform_int_distribution<std::size_t> count(1, 4), pick(0, std::size(kNoise) - 1);
    Bytes noise(count(noiseRandom_));
    for (std::uint8_t& b : noise) b = kNoise[pick(noiseRandom_)];
    const Clock::time_point start = std::max(now + options_.latency, outputLineFree_);
    outputLineFree_ = start + duration_cast<Clock::duration>(WireTime(noise.size(), lineBaud_));
    outgoing_.push_back({std::move(noise), std::nullopt, start, 0});
}

void Simulator::DecodeInput(Clock::time_point now) {
    const bool lineIdle = now - lastInput_ >= IdleGap(lineBaud_);
    while (!input_.empty() && !unplugged_) {
        const DecodeResult result = DecodeRequest(input_, lineIdle);
        if (result.status == DecodeStatus::NeedMore) {
            // A real module gives up on a frame that stops half-way.
            if (now - lastInput_ >= options_.staleFrameTime) {
                AddLog({now, LogKind::Discarded, std::nullopt, input_, "incomplete frame dropped"});
                input_.clear();
            }
            return;
        }
        const auto end = input_.begin() + static_cast<std::ptrdiff_t>(result.consumed);
        if (result.status == DecodeStatus::Skip) {
            AddLog({now, LogKind::Discarded, std::nullopt, Bytes(input_.begin(), end), "not a frame"});
        } else {
            const Bytes frame(input_.begin(), end);
            input_.erase(input_.begin(), end);
            Serve(result.request, frame);
            continue;
        }
        input_.erase(input_.begin(), end);
    }
}

void Simulator::Serve(const Request& request, std::span<const std::uint8_t> frame) {
    // The host wrote the frame at once; on a real line its last byte lands
    // one wire time later, after any frame still in flight.
    const Clock::time_point received =
        std::max(lastInput_, inputLineFree_) + duration_cast<Clock::duration>(WireTime(frame.size(), lineBaud_));
    inputLineFree_ = received;

    Reply reply;
    FaultOutcome outcome;
    {
        std::lock_guard lock(mutex_);
        reply = network_.Handle(request, received);
        outcome = faults_.Apply(request.command, std::move(reply.answers), searchGap_, faultTiming_);
        if (std::find(outcome.applied.begin(), outcome.applied.end(), FaultKind::Forget) != outcome.applied.end())
            network_.ForgetWrite(request.addr);
    }
    AddLog({received, LogKind::Request, request.command, Bytes(frame.begin(), frame.end()),
            Decoded(frame, protocol::FrameDirection::Request)});
    if (!outcome.applied.empty()) {
        std::string text = "fault:";
        for (FaultKind kind : outcome.applied) text += std::string(" ") + FaultKindName(kind);
        AddLog({received, LogKind::Fault, request.command, {}, text});
    }
    if (outcome.unplug) {
        DoUnplug();
        return;
    }

    const microseconds air = reply.overAir ? 2 * options_.airLatency : microseconds(0);
    Clock::time_point next = received + options_.latency + air;
    for (Burst& burst : outcome.bursts) {
        next += burst.delay;
        std::vector<Bytes> pieces{std::move(burst.bytes)};
        if (options_.splitEvery.count() > 0) pieces = SplitOnce(pieces.front(), splitRandom_);
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0) next += options_.splitEvery;
            // One line: a burst waits for the previous one to finish.
            const Clock::time_point start = std::max(next, outputLineFree_);
            outputLineFree_ = start + duration_cast<Clock::duration>(WireTime(pieces[i].size(), lineBaud_));
            next = outputLineFree_;
            Queue(std::move(pieces[i]), request.command, start);
        }
    }
}

void Simulator::Queue(Bytes bytes, std::optional<CommandKey> command, Clock::time_point start) {
    if (!options_.adapter) {
        outgoing_.push_back({std::move(bytes), command, start, 0});
        return;
    }
    // A piece is written when its last byte has left the wire (see
    // Transmit): each USB packet is queued to end when the host gets it.
    for (Delivery& packet :
         DeliverThroughAdapter(bytes, start, ByteTime(lineBaud_), *options_.adapter, adapterTimerOrigin_)) {
        const auto wire = duration_cast<Clock::duration>(WireTime(packet.bytes.size(), lineBaud_));
        outgoing_.push_back({std::move(packet.bytes), command, packet.at - wire, 0});
    }
}

bool Simulator::Transmit(Clock::time_point now) {
    const nanoseconds byteTime = ByteTime(lineBaud_);
    while (!outgoing_.empty() && !writeBlocked_) {
        Outgoing& out = outgoing_.front();
        if (now < out.start) return true;
        // A burst reaches the host whole once its last byte has left the
        // line: a UART leaves no gap inside a frame, and writing byte by
        // byte would let a descheduled thread split an answer the host then
        // refuses. Gaps come only between bursts (search answers, faults).
        const auto elapsed = duration_cast<nanoseconds>(now - out.start);
        const std::size_t due = elapsed >= byteTime * static_cast<long long>(out.bytes.size()) ? out.bytes.size() : 0;
        if (due > out.sent) {
            const ssize_t n = ::write(pty_.Master(), out.bytes.data() + out.sent, due - out.sent);
            if (n < 0) {
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    writeBlocked_ = true;  // the host is not reading; wait until there is room
                    return true;
                }
                if (errno != EINTR) return false;
                continue;
            }
            out.sent += static_cast<std::size_t>(n);
        }
        if (out.sent < out.bytes.size()) return true;
        AddLog({now, LogKind::Answer, out.command, out.bytes,
                out.command ? Decoded(out.bytes, protocol::FrameDirection::Answer) : std::string("line noise")});
        outgoing_.pop_front();
    }
    return true;
}

std::optional<Clock::time_point> Simulator::NextWake(Clock::time_point now) const {
    std::optional<Clock::time_point> wake;
    auto earliest = [&wake](Clock::time_point t) {
        if (!wake || t < *wake) wake = t;
    };
    if (!outgoing_.empty() && !writeBlocked_) {
        const Outgoing& out = outgoing_.front();
        earliest(out.start + duration_cast<Clock::duration>(WireTime(out.bytes.size(), lineBaud_)));
    }
    if (!input_.empty()) {
        const Clock::time_point idle = lastInput_ + duration_cast<Clock::duration>(IdleGap(lineBaud_));
        earliest(idle > now ? idle : lastInput_ + options_.staleFrameTime);
    }
    return wake;
}

void Simulator::DoUnplug() {
    pty_.Close();
    outgoing_.clear();
    input_.clear();
    unplugged_ = true;
    AddLog({Clock::now(), LogKind::Unplugged, std::nullopt, {}, "module unplugged: pty closed"});
    if (options_.onUnplugged) options_.onUnplugged();
}

void Simulator::AddLog(LogEntry entry) {
    if (options_.trace) options_.trace(TraceLine(entry));
    {
        std::lock_guard lock(mutex_);
        log_.push_back(std::move(entry));
    }
    logChanged_.notify_all();
}

std::size_t Simulator::ModuleCount() const {
    std::lock_guard lock(mutex_);
    return network_.ModuleCount();
}

ModuleState Simulator::Module(std::size_t index) const {
    std::lock_guard lock(mutex_);
    network_.Settle(Clock::now());
    return network_.Module(index);
}

std::optional<std::size_t> Simulator::FindModule(std::uint16_t address) const {
    std::lock_guard lock(mutex_);
    network_.Settle(Clock::now());
    for (std::size_t i = 0; i < network_.ModuleCount(); ++i)
        if (network_.Module(i).config.Address() == address) return i;
    return std::nullopt;
}

std::pair<std::uint8_t, std::uint8_t> Simulator::TunedPair() const {
    std::lock_guard lock(mutex_);
    network_.Settle(Clock::now());
    return {network_.TunedChannel(), network_.TunedRate()};
}

Scenario Simulator::CurrentScenario() const {
    std::lock_guard lock(mutex_);
    network_.Settle(Clock::now());
    Scenario scenario = network_.ToScenario();
    scenario.baudMismatch = baudMismatch_;
    return scenario;
}

void Simulator::Modify(std::size_t index, const std::function<void(ModuleConfig&)>& change) {
    std::lock_guard lock(mutex_);
    change(network_.Module(index).config);
}

void Simulator::SetInputs(std::size_t index, std::uint8_t lines) {
    Modify(index, [lines](ModuleConfig& m) { m.io.inputs = lines; });
}

void Simulator::SetAd(std::size_t index, const AdValues& millivolts) {
    Modify(index, [&millivolts](ModuleConfig& m) {
        m.io.adMillivolts = millivolts;
        m.io.adDrift = false;
    });
}

void Simulator::AddFault(const Fault& fault) {
    std::lock_guard lock(mutex_);
    faults_.Add(fault);
}

void Simulator::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.Clear();
}

bool Simulator::TakeOff() {
    std::lock_guard lock(mutex_);
    network_.Settle(Clock::now());
    return network_.TakeOff(Clock::now());
}

std::vector<ModuleConfig> Simulator::Departed() const {
    std::lock_guard lock(mutex_);
    network_.Settle(Clock::now());
    return network_.Departed();
}

void Simulator::Unplug() {
    unplugRequested_ = true;
    Wake();
}

std::vector<LogEntry> Simulator::Log() const {
    std::lock_guard lock(mutex_);
    return log_;
}

void Simulator::ClearLog() {
    std::lock_guard lock(mutex_);
    log_.clear();
}

bool Simulator::WaitForLog(const std::function<bool(const std::vector<LogEntry>&)>& done, milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return logChanged_.wait_for(lock, timeout, [&] { return done(log_); });
}

}  // namespace qrv::sim
