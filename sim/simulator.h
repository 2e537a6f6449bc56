// The simulated module network on a pseudo-terminal, served by a thread of
// its own. A test or the qrvsim program creates one, starts it, and points
// a serial program at SlavePath():
//
//   qrv::sim::Simulator sim(qrv::sim::Scenario::Default());
//   if (!sim.Start()) ...;
//   open(sim.SlavePath().c_str(), ...);
//
// Every public function may be called from any thread.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sim/faults.h"
#include "sim/network.h"
#include "sim/pty_pair.h"
#include "sim/scenario.h"
#include "sim/usb_adapter.h"

namespace qrv::sim {

struct SimulatorOptions {
    // The module's UART rate: answers are paced at it, and only a host whose
    // line is set to it is understood (see anyBaud). A rate a module can be
    // set to is written into the local module's record; from then on the
    // line follows the record, so a write of uart-baud takes effect at the
    // module's next restart.
    unsigned baud = 115200;
    bool anyBaud = false;                        // understand the host at any line rate
    std::chrono::microseconds latency{3000};     // request received -> answer starts
    std::chrono::microseconds airLatency{2000};  // added each way for a far module
    std::chrono::milliseconds restartTime{250};  // silence after a reset frame
    // Zero: derived from the baud rate, from the host's read interval.
    std::chrono::microseconds searchGap{0};        // between two search answers
    std::chrono::microseconds splitGap{0};         // inside an answer split by a fault
    std::chrono::microseconds lateDelay{1500000};  // extra delay of a late answer
    // A partial frame followed by this much silence is thrown away.
    std::chrono::milliseconds staleFrameTime{50};
    std::uint64_t seed = 1;
    std::vector<Fault> faults;
    // Answers reach the host as through this USB adapter: in its packets,
    // with its latency timer between them.
    std::optional<AdapterShape> adapter;
    // Non-zero: every answer is cut once at a random point, its second
    // piece this long after the first.
    std::chrono::microseconds splitEvery{0};
    // Receives one line per frame both ways (hex and decoding); called on
    // the simulator's thread.
    std::function<void(const std::string&)> trace;
    // Called on the simulator's thread once the module has been unplugged.
    std::function<void()> onUnplugged;
    // Local modules that follow the scenario's one on the line, in turn.
    std::optional<StationLine> station;
};

enum class LogKind {
    Request,    // a frame that was decoded
    Answer,     // a burst that has left completely
    Discarded,  // bytes that could not start or complete a frame
    Fault,      // faults that acted on the last request
    Unplugged,
};

struct LogEntry {
    Clock::time_point time;
    LogKind kind;
    std::optional<CommandKey> command;
    Bytes bytes;
    std::string text;  // one-line decoding
};

class Simulator {
public:
    explicit Simulator(const Scenario& scenario, SimulatorOptions options = {});
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;
    ~Simulator();

    // Opens the pty and starts the thread; when it returns true the slave
    // path can be opened and every byte written to it will be served.
    bool Start(std::string* error = nullptr);
    // Stops the thread and closes the pty. Idempotent.
    void Stop();
    bool Unplugged() const { return unplugged_; }
    const std::string& SlavePath() const { return pty_.SlavePath(); }
    const SimulatorOptions& Options() const { return options_; }

    // ---- The network model (copies, taken under the model's lock) ----
    // Index 0 is the local module, 1.. the far modules in scenario order.
    std::size_t ModuleCount() const;
    ModuleState Module(std::size_t index) const;
    std::optional<std::size_t> FindModule(std::uint16_t address) const;
    std::pair<std::uint8_t, std::uint8_t> TunedPair() const;  // channel, air-rate index
    Scenario CurrentScenario() const;
    // Changes a module in place, e.g. its inputs or AD values.
    void Modify(std::size_t index, const std::function<void(ModuleConfig&)>& change);
    void SetInputs(std::size_t index, std::uint8_t lines);
    // Fixes the AD values; they stop drifting.
    void SetAd(std::size_t index, const AdValues& millivolts);

    // ---- Faults ----
    void AddFault(const Fault& fault);
    void ClearFaults();
    // Pulls the module off the line: the pty closes and the thread ends.
    void Unplug();

    // ---- The production line ----
    // The local module leaves the jig; the next waiting one answers after
    // the station's gap. Returns false when the jig was already empty.
    bool TakeOff();
    std::vector<ModuleConfig> Departed() const;
    // The rate the line now runs at.
    unsigned LineRate() const { return lineBaud_; }

    // ---- Request/answer log ----
    std::vector<LogEntry> Log() const;
    void ClearLog();
    // Waits until `done` holds for the log or `timeout` passes; returns its last value.
    bool WaitForLog(const std::function<bool(const std::vector<LogEntry>&)>& done,
                    std::chrono::milliseconds timeout) const;

private:
    struct Outgoing {
        Bytes bytes;
        std::optional<CommandKey> command;  // none: line noise
        Clock::time_point start;  // the first byte starts here
        std::size_t sent = 0;
    };

    void Run();
    bool ReadInput(Clock::time_point now);
    bool HostRateMatches() const;
    void RefreshLineRate();
    void Garbled(Bytes bytes, Clock::time_point now);
    void DecodeInput(Clock::time_point now);
    void Serve(const Request& request, std::span<const std::uint8_t> frame);
    // Queues one piece of an answer that starts on the wire at `start`.
    void Queue(Bytes bytes, std::optional<CommandKey> command, Clock::time_point start);
    bool Transmit(Clock::time_point now);
    std::optional<Clock::time_point> NextWake(Clock::time_point now) const;
    void DoUnplug();
    void AddLog(LogEntry entry);
    void Wake();

    SimulatorOptions options_;
    std::atomic<unsigned> lineBaud_;
    bool followUart_;  // the line rate follows the local module's record
    BaudMismatch baudMismatch_;
    std::chrono::microseconds searchGap_;
    FaultTiming faultTiming_;

    mutable std::mutex mutex_;  // guards network_, faults_ and log_
    mutable std::condition_variable logChanged_;
    mutable Network network_;  // readers settle due restarts before they look
    FaultInjector faults_;
    std::vector<LogEntry> log_;

    // Owned by the simulator's thread while it runs.
    PtyPair pty_;
    Bytes input_;
    Clock::time_point lastInput_{};
    Clock::time_point inputLineFree_{};   // end of the last request on the simulated wire
    Clock::time_point outputLineFree_{};  // end of the last scheduled answer byte
    std::deque<Outgoing> outgoing_;
    bool writeBlocked_ = false;
    std::mt19937_64 noiseRandom_;
    std::mt19937_64 splitRandom_;
    Clock::time_point adapterTimerOrigin_ = Clock::now();

    int wakeFd_ = -1;
    std::thread thread_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> unplugRequested_{false};
    std::atomic<bool> unplugged_{false};
};

}  // namespace qrv::sim
