// One module to work on, the local one or a far one found by address, behind
// one interface: the commands read, write, restart, drive IO and upgrade
// without caring which. A far module is reached through the local module's
// radio; whatever leaves that radio on the far module's pair is undone when
// the access object goes away, so the local module ends up tuned home.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "client/search_sweep.h"
#include "client/status.h"
#include "qrvlink/qrvlink.h"

namespace qrv::client {

struct ModuleRecords {
    ModuleBase base{};
    ModuleProperty property{};
};

using AdMillivolts = std::array<std::uint16_t, 4>;

class ModuleAccess {
public:
    virtual ~ModuleAccess() = default;
    // "local module 0x0001", "module 0x0203"
    virtual std::string Describe() const = 0;
    // The module's address as a number, as JSON gives every address; nothing
    // for a local module not read yet.
    virtual std::optional<std::uint16_t> Address() const = 0;
    virtual Status Read(ModuleRecords& out) = 0;
    // Writes bytes 0..51 and restarts the module; later calls reach it at
    // its new address (and, far away, on its new pair).
    virtual Status Write(const ModuleProperty& record) = 0;
    virtual Status Reset() = 0;
    virtual Status FactoryReset() = 0;
    virtual Status SetDirections(std::uint8_t directions) = 0;
    virtual Status WriteOutputs(std::uint8_t outputs) = 0;
    virtual Status ReadInputs(std::uint8_t& lines) = 0;
    virtual Status ReadAd(AdMillivolts& millivolts) = 0;
    // Sends a firmware image; blocks for the whole upgrade. `progress` hears
    // of each acknowledged block (done of total) on this thread, inside the
    // SDK's exchange: it should only note the numbers.
    using BlockProgress = std::function<void(int done, int total)>;
    // `current`: the module's records as Read just gave them (its run state
    // says whether it must be prepared; far away, the read tuned to it).
    Status Upgrade(const std::string& imagePath, const ModuleRecords& current, const BlockProgress& progress = {});
};

std::unique_ptr<ModuleAccess> LocalModule();

// Looks for the far module at `address` on each pair in turn until it
// answers.
Status FindFarModule(std::uint16_t address, std::span<const RadioPair> where, std::unique_ptr<ModuleAccess>& out);
// The same with the local module just read: it is not read a second time.
// Far modules are reached with the SDK's lazy tuning (no tuning exchange to
// the pair the radio is on); the access object tunes home when it goes.
Status FindFarModule(std::uint16_t address, std::span<const RadioPair> where, const LocalModuleInfo& local,
                     std::unique_ptr<ModuleAccess>& out);

}  // namespace qrv::client
