// What the commands share: ending with a status, showing a module, and
// opening the module a command works on.
#pragma once

#include <memory>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "client/profile.h"

#include "client/module_access.h"
#include "client/status.h"
#include "qrvctl/commands.h"
#include "qrvctl/connection.h"
#include "qrvctl/printer.h"

namespace qrvctl {

// Prints the status's message (if it failed) and gives its exit code.
int Finish(const qrv::client::Status& status);

// While one lives (main holds one around a command run with --json), Finish
// also prints a failure as one JSON object on standard output:
// {"reason": "port", "message": "...", "exit": 3}, unless the command has
// printed its JSON already (a mismatch's read-back, detect's empty list).
class JsonFailures {
public:
    explicit JsonFailures(bool on);
    ~JsonFailures();
    JsonFailures(const JsonFailures&) = delete;
    JsonFailures& operator=(const JsonFailures&) = delete;

private:
    bool previous_;
};

// {"port", "baud", "identity", "fields"} or the same as a table.
// The password only with `showPassword` (a screen or a log is no place for it).
void ShowModule(const Printer& printer, const Connection& connection, const qrv::client::ModuleRecords& module,
                bool showPassword = false);

// {"address": 515, "module": "module 0x0203"}: JSON names a module by its
// address as a number (null for a local module not read); the text stays.
qrv::client::Json ModuleJson(const qrv::client::ModuleAccess& module);

// Connects and opens the target module.
qrv::client::Status Open(const CommonOptions& options, const Target& target, const Printer& printer,
                         Connection& connection, std::unique_ptr<qrv::client::ModuleAccess>& module);

// Open, then read the module's records.
qrv::client::Status OpenAndRead(const CommonOptions& options, const Target& target, const Printer& printer,
                                Connection& connection, std::unique_ptr<qrv::client::ModuleAccess>& module,
                                qrv::client::ModuleRecords& records);

// The write road of set and profile apply: the module's password checked,
// `change` laid over its record, written, read back and verified; the local
// port follows the module's new serial settings for the read-back.
struct ChangeResult {
    qrv::client::ModuleRecords after;
    std::vector<qrv::client::FieldDifference> differences;
};
qrv::client::Status ChangeModule(qrv::client::ModuleAccess& module, const qrv::client::ModuleRecords& current,
                                 Connection& connection, const Target& target,
                                 const std::optional<std::string>& password,
                                 const std::function<qrv::client::Status(ModuleProperty&)>& change,
                                 ChangeResult& result);

}  // namespace qrvctl
