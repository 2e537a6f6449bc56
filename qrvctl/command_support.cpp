#include "qrvctl/command_support.h"

#include <cstdio>

#include "client/write_verify.h"
#include "qrvctl/exit_codes.h"
#include "qrvctl/prompts.h"

namespace qrvctl {

using namespace qrv::client;

int Finish(const Status& status) {
    if (!status.Ok()) std::fprintf(stderr, "qrvctl: %s\n", status.message.c_str());
    return ExitCodeFor(status.outcome);
}

void ShowModule(const Printer& printer, const Connection& connection, const ModuleRecords& module,
                bool showPassword) {
    if (printer.Json()) {
        Json json = Json::object();
        json["port"] = connection.line.port;
        json["baud"] = connection.line.baud;
        json["identity"] = IdentityJson(module.base);
        json["fields"] = FieldsJson(module.property, showPassword);
        printer.Document(json);
        return;
    }
    std::vector<ReportLine> lines{{"port", connection.line.port}, {"baud", std::to_string(connection.line.baud)}};
    for (ReportLine& line : IdentityLines(module.base)) lines.push_back(std::move(line));
    for (ReportLine& line : FieldLines(module.property, showPassword)) lines.push_back(std::move(line));
    printer.Lines(lines);
}

Status Open(const CommonOptions& options, const Target& target, const Printer& printer, Connection& connection,
            std::unique_ptr<ModuleAccess>& module) {
    if (Status st = Connect(options, printer, connection); !st.Ok()) return st;
    return OpenModule(target.address, target.where, module);
}

Status OpenAndRead(const CommonOptions& options, const Target& target, const Printer& printer, Connection& connection,
                   std::unique_ptr<ModuleAccess>& module, ModuleRecords& records) {
    if (Status st = Open(options, target, printer, connection, module); !st.Ok()) return st;
    return module->Read(records);
}

Status ChangeModule(ModuleAccess& module, const ModuleRecords& current, Connection& connection, const Target& target,
                    const std::optional<std::string>& password, const std::function<Status(ModuleProperty&)>& change,
                    ChangeResult& result) {
    if (Status st = CheckPassword(current.property, password, module.Describe()); !st.Ok()) return st;
    ModuleProperty wanted = current.property;
    if (Status st = change(wanted); !st.Ok()) return st;
    const bool local = !target.address;
    return WriteAndVerify(module, wanted, result.after, result.differences,
                          [&] { return local ? FollowSerialSettings(wanted, connection) : Status{}; });
}

}  // namespace qrvctl
