// info, set, reset and factory-reset, for the local module and (through
// `remote ADDR`) for far ones.
#include "qrvctl/command_support.h"
#include "qrvctl/prompts.h"

namespace qrvctl {

using namespace qrv::client;

int RunInfo(const CommonOptions& options, const Target& target) {
    const Printer printer(options.json, options.quiet);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    ModuleRecords records;
    if (Status st = OpenAndRead(options, target, printer, connection, module, records); !st.Ok()) return Finish(st);
    ShowModule(printer, connection, records, options.showPassword);
    return Finish({});
}

int RunSet(const CommonOptions& options, const Target& target, const std::vector<std::string>& assignments,
           const std::optional<std::string>& password) {
    const Printer printer(options.json, options.quiet);
    // Every value is checked before the port is even opened: one bad value
    // and nothing is sent.
    std::vector<Assignment> parsed;
    if (Status st = ParseAssignments(assignments, parsed); !st.Ok()) return Finish(st);
    if (parsed.empty()) return Finish(Status::Fail(Outcome::Usage, "nothing to set: give FIELD=VALUE"));

    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    ModuleRecords current;
    if (Status st = OpenAndRead(Writing(options), target, printer, connection, module, current); !st.Ok())
        return Finish(st);
    ChangeResult result;
    const Status st = ChangeModule(*module, current, connection, target, password, [&](ModuleProperty& wanted) {
        for (const Assignment& a : parsed)
            if (Status bad = WriteField(wanted, *a.field, a.value); !bad.Ok()) return bad;
        return Status{};
    }, result);
    // --quiet: the exit status says it all (JSON is asked for, so it stays).
    const bool show = !options.quiet || options.json;
    if (show && (st.Ok() || st.outcome == Outcome::Mismatch))
        ShowModule(printer, connection, result.after, options.showPassword);
    return Finish(st);
}

int RunReset(const CommonOptions& options, const Target& target) {
    const Printer printer(options.json, options.quiet);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    if (Status st = Open(Writing(options), target, printer, connection, module); !st.Ok()) return Finish(st);
    if (Status st = module->Reset(); !st.Ok()) return Finish(st);
    if (printer.Json()) {
        Json json = ModuleJson(*module);
        json["reset"] = true;
        printer.Document(json);
    } else {
        printer.Note(module->Describe() + " restarted");
    }
    return Finish({});
}

int RunFactoryReset(const CommonOptions& options, const Target& target, bool yes) {
    const Printer printer(options.json, options.quiet);
    const std::string which = target.address ? "module " + *target.address : "the local module";
    if (Status st = Confirm("Restore the factory settings of " + which + "?", yes); !st.Ok()) return Finish(st);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    if (Status st = Open(Writing(options), target, printer, connection, module); !st.Ok()) return Finish(st);
    if (Status st = module->FactoryReset(); !st.Ok()) return Finish(st);
    if (printer.Json()) {
        Json json = ModuleJson(*module);
        json["factory-reset"] = true;
        printer.Document(json);
    } else {
        printer.Note(module->Describe() + ": factory settings restored");
    }
    return Finish({});
}

}  // namespace qrvctl
