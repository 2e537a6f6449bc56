#include "simulated_network.h"

#include <QTableWidget>

#include <string>

#include "dialogs/fill_module_list.h"

namespace {

qrv::sim::SimulatorOptions TestOptions() {
    qrv::sim::SimulatorOptions options;
    options.baud = SimulatedNetwork::kBaud;
    return options;
}

bool IsRequest(const qrv::sim::LogEntry& entry, qrv::sim::CommandKey command) {
    return entry.kind == qrv::sim::LogKind::Request && entry.command == command;
}

}  // namespace

SimulatedNetwork::SimulatedNetwork(const qrv::sim::Scenario& scenario)
    : sim_(std::make_unique<qrv::sim::Simulator>(scenario, TestOptions())) {}

SimulatedNetwork::~SimulatedNetwork() {
    Q_CloseCom();
    sim_->Stop();
}

bool SimulatedNetwork::Open(std::string* error) {
    if (!sim_->Start(error)) return false;
    if (OpenPort()) return true;
    if (error != nullptr) *error = "Q_OpenCom failed on " + sim_->SlavePath();
    return false;
}

bool SimulatedNetwork::OpenPort() {
    const std::wstring path = QString::fromStdString(sim_->SlavePath()).toStdWString();
    return Q_OpenCom(path.c_str(), kBaud, 8, 0, 0, 0, 0, 0, 0, kReadTimeoutMs) == 1;
}

int SimulatedNetwork::FindFarModule(std::uint8_t channel, std::uint8_t rate, std::uint16_t address,
                                    QTableWidget* list) {
    Q_QRV_SearchDevByAddr(channel, rate, address);
    FillModuleList(*list);
    for (int row = 0; row < list->rowCount(); ++row) {
        ModuleBase base{};
        if (Q_QRV_GetRemoteDevBase(&base, row) == 1 && base.NetAddr == address) return row;
    }
    return -1;
}

std::size_t SimulatedNetwork::RequestCount(qrv::sim::CommandKey command) const {
    std::size_t count = 0;
    for (const qrv::sim::LogEntry& entry : sim_->Log()) count += IsRequest(entry, command) ? 1 : 0;
    return count;
}

bool SimulatedNetwork::WaitForRequest(qrv::sim::CommandKey command, std::chrono::milliseconds timeout) const {
    return sim_->WaitForLog(
        [&](const std::vector<qrv::sim::LogEntry>& log) {
            for (const qrv::sim::LogEntry& entry : log)
                if (IsRequest(entry, command)) return true;
            return false;
        },
        timeout);
}

std::size_t SimulatedNetwork::AllRequestCount() const {
    std::size_t count = 0;
    for (const qrv::sim::LogEntry& entry : sim_->Log()) count += entry.kind == qrv::sim::LogKind::Request ? 1 : 0;
    return count;
}
