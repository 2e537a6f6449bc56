#pragma once
// The simulated module network in-process, with the SDK's port open on its
// pty: what the GUI tests drive through the real pages and dialogs.
#include <QString>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "qrvlink/qrvlink.h"
#include "sim/simulator.h"

class QTableWidget;

class SimulatedNetwork {
public:
    // 9600 baud on both ends: a 41 ms gap ends a read, which a busy machine
    // does not reach inside one answer.
    static constexpr int kBaud = 9600;
    static constexpr int kReadTimeoutMs = 300;
    static constexpr std::size_t kLocal = qrv::sim::Network::kLocal;

    explicit SimulatedNetwork(const qrv::sim::Scenario& scenario = qrv::sim::Scenario::Default());
    // Closes the SDK's port before the pty goes away.
    ~SimulatedNetwork();

    // Starts the simulator and opens the SDK on it; false with a reason.
    bool Open(std::string* error);
    // Opens the SDK's port on the running simulator again.
    bool OpenPort();
    qrv::sim::Simulator& Sim() { return *sim_; }

    // Puts the far module at `address` (on channel/rate) into the SDK's
    // search list and fills `list` from it as the network page does; the
    // module's row (its entry index), or -1.
    int FindFarModule(std::uint8_t channel, std::uint8_t rate, std::uint16_t address, QTableWidget* list);

    // Requests of one command the module side has decoded since the last
    // ClearLog of the simulator.
    std::size_t RequestCount(qrv::sim::CommandKey command) const;
    std::size_t AllRequestCount() const;
    // Waits (bounded) until a request of that command has been decoded;
    // every frame written before it has been logged by then too.
    bool WaitForRequest(qrv::sim::CommandKey command, std::chrono::milliseconds timeout) const;

private:
    std::unique_ptr<qrv::sim::Simulator> sim_;
};

inline constexpr qrv::sim::CommandKey ConfigCommand(std::uint8_t code) { return {qrv::sim::Family::Config, code}; }
inline constexpr qrv::sim::CommandKey IoCommand(std::uint8_t code) { return {qrv::sim::Family::Io, code}; }
