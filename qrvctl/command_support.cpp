#include "qrvctl/command_support.h"

#include <cstdio>

#include "qrvctl/exit_codes.h"

namespace qrvctl {

using namespace qrv::client;

int Finish(const Status& status) {
    if (!status.Ok()) std::fprintf(stderr, "qrvctl: %s\n", status.message.c_str());
    return ExitCodeFor(status.outcome);
}

void ShowModule(const Printer& printer, const Connection& connection, const ModuleRecords& module) {
    if (printer.Json()) {
        Json json = Json::object();
        json["port"] = connection.line.port;
        json["baud"] = connection.line.baud;
        json["identity"] = IdentityJson(module.base);
        json["fields"] = FieldsJson(module.property);
        printer.Document(json);
        return;
    }
    std::vector<ReportLine> lines{{"port", connection.line.port}, {"baud", std::to_string(connection.line.baud)}};
    for (ReportLine& line : IdentityLines(module.base)) lines.push_back(std::move(line));
    for (ReportLine& line : FieldLines(module.property)) lines.push_back(std::move(line));
    printer.Lines(lines);
}

Status Open(const CommonOptions& options, const Target& target, const Printer& printer, Connection& connection,
            std::unique_ptr<ModuleAccess>& module) {
    if (Status st = Connect(options, printer, connection); !st.Ok()) return st;
    return OpenModule(target.address, target.where, module);
}

}  // namespace qrvctl
