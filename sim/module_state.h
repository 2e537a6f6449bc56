// One simulated module: what a scenario describes about it (ModuleConfig) and
// what it picks up while it runs (ModuleState).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <vector>

#include "protocol/protocol_constants.h"
#include "qrvlink/qrvlink.h"
#include "records/module_records.h"
#include "sim/answer_builder.h"

namespace qrv::sim {

using Clock = std::chrono::steady_clock;

// The four digital lines each way and the four analogue inputs of a
// wireless-IO module. Bits 0..3 are lines 1..4.
struct IoState {
    bool present = false;  // the module has IO lines; others ignore IO frames
    std::uint8_t directions = 0;
    std::uint8_t outputs = 0;
    std::uint8_t inputs = 0;  // levels driven from outside the module
    bool loopback = false;    // outputs wired back to the inputs of the same number
    AdValues adMillivolts{};
    bool adDrift = true;  // values wander by a few millivolts on every read

    // What a read of the input lines returns.
    std::uint8_t Lines() const;
};

struct ModuleConfig {
    // The configuration with the running firmware's identity in bytes 52..56
    // (RunState, DevType, FwVersion). LocalAddr is the module's network address.
    ModuleProperty record{};
    // What a factory reset restores (bytes 0..51 only: the firmware stays).
    ModuleProperty factory{};
    IoState io;
    // Device type the module reports once user firmware runs; a module in its
    // boot loader reports 0 and needs this to come back after an upgrade.
    std::uint16_t appDevType = 0;
    // Version reported after the next upgrade; without it the version's last
    // decimal digit goes up by one.
    std::optional<std::uint16_t> upgradeVersion;

    std::uint16_t Address() const { return record.LocalAddr; }
    ModuleBase Base() const;
};

// The image a boot loader collects, block by block, keyed by module offset.
using FirmwareBlocks = std::map<std::uint16_t, std::array<std::uint8_t, protocol::kFirmwareBlockSize>>;

struct ModuleState {
    ModuleConfig config;
    std::optional<ModuleProperty> pending;          // accepted by 0xD3, runs after the next restart
    bool factoryResetOnRestart = false;             // armed by 0xDB
    bool enterBootOnRestart = false;                // armed by 0xD8
    bool runImageOnRestart = false;                 // armed by 0xDA
    FirmwareBlocks receivedBlocks;                  // in the boot loader
    FirmwareBlocks installedImage;                  // the last image that was started
    std::optional<Clock::time_point> restartUntil;  // silent until then
    unsigned restarts = 0;
    std::mt19937 adRandom;

    bool InBootLoader() const { return config.record.RunState == kRunStateBoot; }
    bool Restarting() const { return restartUntil.has_value(); }
};

// 0x0123 (V1.23) becomes 0x0124; 0x0129 becomes 0x0130; 0x9999 wraps to 0x0001.
std::uint16_t NextBcdVersion(std::uint16_t version);

// FNV-1a over the blocks in offset order, each with its offset: lets tests
// compare an installed image with the file that was sent.
std::uint64_t ImageDigest(const FirmwareBlocks& blocks);

}  // namespace qrv::sim
