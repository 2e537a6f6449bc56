// From the command line to a module: the port (given, or the one where
// detection finds a module), its rate, and the local or far module to work on.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "client/module_access.h"
#include "client/sdk_link.h"
#include "qrvctl/common_options.h"
#include "qrvctl/printer.h"

namespace qrvctl {

using qrv::client::Status;

struct Connection {
    qrv::client::LineSettings line;
};

// The options of a command that changes the module (see CommonOptions::writes).
CommonOptions Writing(CommonOptions options);

// Opens the port, detecting it and its rate when not given. Without --port,
// ports that could not be examined are named on standard error; a command
// that writes then refuses (exit 3), and with none examined every command does.
Status Connect(const CommonOptions& options, const Printer& printer, Connection& out);

// "0x0203" or "515" as an address.
Status ParseAddress(const std::string& text, std::uint16_t& out);
// "250K", "500K", "1M" or 0..2.
Status ParseRate(const std::string& text, int& out);
Status ResolvePairs(const WhereOptions& where, const qrv::client::RadioPair& home,
                    std::vector<qrv::client::RadioPair>& out);

// The local module, or the far module at `address` (looked for as `where` says).
Status OpenModule(const std::optional<std::string>& address, const WhereOptions& where,
                  std::unique_ptr<qrv::client::ModuleAccess>& out);

// After a write that changed the local module's own serial settings the
// port follows them, or the read-back would go unheard.
Status FollowSerialSettings(const ModuleProperty& written, Connection& connection);

}  // namespace qrvctl
