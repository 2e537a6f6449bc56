// What the commands share: ending with a status, showing a module, and
// opening the module a command works on.
#pragma once

#include <memory>
#include <string>

#include "client/module_access.h"
#include "client/status.h"
#include "qrvctl/commands.h"
#include "qrvctl/connection.h"
#include "qrvctl/printer.h"

namespace qrvctl {

// Prints the status's message (if it failed) and gives its exit code.
int Finish(const qrv::client::Status& status);

// {"port", "baud", "identity", "fields"} or the same as a table.
void ShowModule(const Printer& printer, const Connection& connection, const qrv::client::ModuleRecords& module);

// Connects and opens the target module.
qrv::client::Status Open(const CommonOptions& options, const Target& target, const Printer& printer,
                         Connection& connection, std::unique_ptr<qrv::client::ModuleAccess>& module);

}  // namespace qrvctl
