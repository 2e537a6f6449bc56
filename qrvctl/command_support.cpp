#include "qrvctl/command_support.h"

#include <cstdio>

#include "client/write_verify.h"
#include "qrvctl/exit_codes.h"
#include "qrvctl/prompts.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

bool failuresAsJson = false;

const char* ReasonName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Ok:
            return "ok";
        case Outcome::Usage:
            return "usage";
        case Outcome::Port:
            return "port";
        case Outcome::NoAnswer:
            return "no-answer";
        case Outcome::Refused:
            return "refused";
        case Outcome::Mismatch:
            return "mismatch";
        case Outcome::File:
            return "file";
        case Outcome::Interrupted:
            return "interrupted";
    }
    return "failure";
}

}  // namespace

JsonFailures::JsonFailures(bool on) : previous_(failuresAsJson) { failuresAsJson = on; }

JsonFailures::~JsonFailures() { failuresAsJson = previous_; }

int Finish(const Status& status) {
    const int code = ExitCodeFor(status.outcome);
    if (status.Ok()) return code;
    std::fprintf(stderr, "qrvctl: %s\n", status.message.c_str());
    if (failuresAsJson && !Printer::JsonPrinted()) {
        const Json failure{{"reason", ReasonName(status.outcome)}, {"message", status.message}, {"exit", code}};
        // A path in the message need not be UTF-8: such bytes become U+FFFD.
        std::printf("%s\n", failure.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
    }
    return code;
}

void ShowModule(const Printer& printer, const Connection& connection, const ModuleRecords& module, bool showPassword) {
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

Json ModuleJson(const ModuleAccess& module) {
    const std::optional<std::uint16_t> address = module.Address();
    return Json{{"address", address ? Json(*address) : Json(nullptr)}, {"module", module.Describe()}};
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
