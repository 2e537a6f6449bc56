#include "sim/network.h"

#include "records/field_table.h"

#include <algorithm>
#include <cstring>

#include "sim/uart_rate.h"

namespace qrv::sim {

using namespace protocol;

namespace {

constexpr std::uint8_t kStatusRefused = 0x01;
// AD inputs read 0 to 3.3 V and wander by at most this much per read.
constexpr int kAdFullScaleMv = 3300;
constexpr int kAdDriftStepMv = 4;

std::uint8_t Status(bool ok) { return ok ? kStatusOk : kStatusRefused; }

}  // namespace

Network::Network(const Scenario& scenario, std::uint64_t seed, std::chrono::milliseconds restartTime)
    : restartTime_(restartTime) {
    modules_.reserve(1 + scenario.far.size());
    auto add = [&](const ModuleConfig& config) {
        ModuleState state;
        state.config = config;
        // Each module draws from its own sequence so that reading one module
        // never changes what another reads.
        std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                               static_cast<std::uint32_t>(modules_.size())};
        state.adRandom.seed(sequence);
        modules_.push_back(std::move(state));
    };
    add(scenario.local);
    for (const ModuleConfig& config : scenario.far) add(config);
    tunedChannel_ = scenario.local.record.Channel;
    tunedRate_ = scenario.local.record.AirRate;
}

Reply Network::Handle(const Request& request, Clock::time_point now) {
    Settle(now);
    ModuleState& local = modules_[kLocal];
    // An empty jig and a restarting module hear nothing, and relay nothing either.
    if (!localPresent_ || local.Restarting()) return {};
    const bool radioUp = !local.InBootLoader();

    if (request.command.family == Family::Config) {
        switch (request.command.code) {
            case kCmdReadBaseInfo:
                return {{BuildBaseInfoAnswer(local.config.Base())}, false};
            case kCmdTuneRadio: {
                const bool ok = radioUp && FieldAccepts(*FindFieldRow("channel"), request.channel) &&
                                FieldAccepts(*FindFieldRow("air-rate"), request.rate);
                if (ok) {
                    tunedChannel_ = request.channel;
                    tunedRate_ = request.rate;
                }
                return {{BuildTuneAnswer(Status(ok))}, false};
            }
            case kCmdSearchBroadcast:
            case kCmdSearchByAddr:
                // The local module relays searches; it never answers one itself.
                return radioUp ? Search(request) : Reply{};
            default:
                break;
        }
    }
    if (request.addr == local.config.Address()) return HandleOwn(local, request, now);
    if (!radioUp) return {};
    ModuleState* far = Reachable(request.addr);
    if (!far) return {};
    Reply reply = HandleOwn(*far, request, now);
    reply.overAir = true;
    return reply;
}

void Network::Settle(Clock::time_point now) {
    for (std::size_t i = 0; i < modules_.size(); ++i)
        if (modules_[i].restartUntil && *modules_[i].restartUntil <= now) FinishRestart(i);
    if (leaveAt_ && *leaveAt_ <= now) TakeOff(*leaveAt_);
    if (arriveAt_ && *arriveAt_ <= now) {
        arriveAt_.reset();
        ModuleState& local = modules_[kLocal];
        local.config = station_.waiting.front();
        station_.waiting.pop_front();
        local.pending.reset();
        local.restartUntil.reset();
        local.factoryResetOnRestart = local.enterBootOnRestart = local.runImageOnRestart = false;
        local.receivedBlocks.clear();
        local.restarts = 0;
        localPresent_ = true;
        localWritten_ = false;
        tunedChannel_ = local.config.record.Channel;
        tunedRate_ = local.config.record.AirRate;
    }
}

void Network::SetStationLine(StationLine line) { station_ = std::move(line); }

bool Network::TakeOff(Clock::time_point now) {
    leaveAt_.reset();
    if (!localPresent_) return false;
    localPresent_ = false;
    departed_.push_back(modules_[kLocal].config);
    if (!station_.waiting.empty()) arriveAt_ = now + station_.gap;
    return true;
}

std::optional<unsigned> Network::LocalUartRate() const {
    return UartRateOfIndex(modules_[kLocal].config.record.UartBaud);
}

void Network::ForgetWrite(std::uint16_t address) {
    ModuleState& local = modules_[kLocal];
    if (ModuleState* module = address == local.config.Address() ? &local : Reachable(address))
        module->pending.reset();
}

bool Network::OnTunedPair(const ModuleState& module) const {
    return module.config.record.Channel == tunedChannel_ && module.config.record.AirRate == tunedRate_;
}

ModuleState* Network::Reachable(std::uint16_t address) {
    for (std::size_t i = kLocal + 1; i < modules_.size(); ++i) {
        ModuleState& m = modules_[i];
        if (m.config.Address() == address && OnTunedPair(m) && !m.Restarting()) return &m;
    }
    return nullptr;
}

Reply Network::Search(const Request& request) const {
    Reply reply;
    reply.overAir = true;
    for (std::size_t i = kLocal + 1; i < modules_.size(); ++i) {
        const ModuleState& m = modules_[i];
        if (!OnTunedPair(m) || m.Restarting()) continue;
        if (request.command.code == kCmdSearchByAddr && m.config.Address() != request.addr) continue;
        reply.answers.push_back(BuildSearchAnswer(request.command.code, m.config.Base()));
    }
    return reply;
}

Reply Network::HandleOwn(ModuleState& module, const Request& request, Clock::time_point now) {
    if (request.command.family == Family::Io) return HandleIo(module, request);
    ModuleConfig& config = module.config;
    const std::uint16_t addr = config.Address();
    switch (request.command.code) {
        case kCmdReadProperty:
            // The whole record answers whatever slice was asked for; hosts
            // only ever ask for all of it.
            return {{BuildPropertyAnswer(addr, request.offset, request.count, config.record)}, false};
        case kCmdWriteProperty: {
            // Only a whole writable part from offset 0 is taken, and only by
            // running user firmware: a boot loader keeps no configuration.
            const bool ok =
                !module.InBootLoader() && request.offset == kPropertyOffsetAll && request.count == kPropertyWireCount;
            if (ok) {
                if (&module == &modules_[kLocal]) localWritten_ = true;
                std::uint8_t wire[kPropertySize];
                PropertyToWire(config.record, wire);
                std::memcpy(wire, request.record.data(), kWritablePropertySize);
                module.pending = PropertyFromWire(wire);
            }
            return {{BuildWritePropertyAnswer(addr, Status(ok))}, false};
        }
        case kCmdResetModule:
            StartRestart(module, now);
            return {};
        case kCmdEnterUpdate:
            if (!module.InBootLoader()) module.enterBootOnRestart = true;
            return {{BuildAddrTypeAnswer(kCmdEnterUpdate, addr, request.type, kStatusOk)}, false};
        case kCmdFirmwareBlock: {
            const bool ok = module.InBootLoader();
            if (ok) module.receivedBlocks[request.blockOffset] = request.block;
            return {{BuildFirmwareBlockAnswer(addr, request.blockOffset, Status(ok))}, false};
        }
        case kCmdFinishUpdate: {
            const bool ok = module.InBootLoader() && !module.receivedBlocks.empty();
            if (ok) module.runImageOnRestart = true;
            return {{BuildAddrTypeAnswer(kCmdFinishUpdate, addr, request.type, Status(ok))}, false};
        }
        case kCmdFactoryReset: {
            const bool ok = !module.InBootLoader();
            if (ok) module.factoryResetOnRestart = true;
            return {{BuildAddrTypeAnswer(kCmdFactoryReset, addr, request.type, Status(ok))}, false};
        }
        default:
            return {};
    }
}

Reply Network::HandleIo(ModuleState& module, const Request& request) {
    IoState& io = module.config.io;
    // Only user firmware of a module with IO lines drives them.
    if (!io.present || module.InBootLoader()) return {};
    const std::uint16_t addr = module.config.Address();
    switch (request.command.code) {
        case kIoCmdSetDirections:
            io.directions = request.value;
            return {{BuildIoStatusAnswer(kIoCmdSetDirections, addr, kStatusOk)}, false};
        case kIoCmdSetOutputs:
            io.outputs = request.value;
            return {{BuildIoStatusAnswer(kIoCmdSetOutputs, addr, kStatusOk)}, false};
        case kIoCmdReadInputs:
            return {{BuildIoInputsAnswer(addr, io.Lines())}, false};
        case kIoCmdReadAd:
            return {{BuildAdAnswer(addr, ReadAd(module))}, false};
        default:
            return {};
    }
}

AdValues Network::ReadAd(ModuleState& module) {
    AdValues& values = module.config.io.adMillivolts;
    if (module.config.io.adDrift) {
        std::uniform_int_distribution<int> step(-kAdDriftStepMv, kAdDriftStepMv);
        for (std::uint16_t& value : values)
            value = static_cast<std::uint16_t>(std::clamp(value + step(module.adRandom), 0, kAdFullScaleMv));
    }
    return values;
}

void Network::StartRestart(ModuleState& module, Clock::time_point now) {
    module.restartUntil = now + restartTime_;
    ++module.restarts;
}

void Network::FinishRestart(std::size_t index) {
    ModuleState& module = modules_[index];
    ModuleProperty& record = module.config.record;
    const Clock::time_point restarted = *module.restartUntil;
    module.restartUntil.reset();

    if (module.runImageOnRestart) {
        record.RunState = kRunStateUser;
        record.DevType = module.config.appDevType;
        record.FwVersion = module.config.upgradeVersion.value_or(NextBcdVersion(record.FwVersion));
        module.config.upgradeVersion.reset();
        module.installedImage = std::move(module.receivedBlocks);
        module.receivedBlocks.clear();
    } else if (module.enterBootOnRestart) {
        module.config.appDevType = record.DevType;
        record.RunState = kRunStateBoot;
        record.DevType = kDevTypeBoot;
        module.receivedBlocks.clear();
    }
    module.runImageOnRestart = false;
    module.enterBootOnRestart = false;

    // Bytes 52..56 describe the running firmware and stay as set above.
    const ModuleProperty* source = module.factoryResetOnRestart ? &module.config.factory
                                   : module.pending             ? &*module.pending
                                                                : nullptr;
    if (source) std::memcpy(&record, source, kWritablePropertySize);
    module.pending.reset();
    module.factoryResetOnRestart = false;

    if (index == kLocal) {
        // Back from a restart the radio listens on the module's own pair.
        tunedChannel_ = record.Channel;
        tunedRate_ = record.AirRate;
        if (localWritten_ && station_.leaveAfterWrite) leaveAt_ = restarted + *station_.leaveAfterWrite;
    }
}

Scenario Network::ToScenario() const {
    Scenario s;
    s.local = modules_[kLocal].config;
    for (std::size_t i = kLocal + 1; i < modules_.size(); ++i) s.far.push_back(modules_[i].config);
    return s;
}

}  // namespace qrv::sim
