// profile save, apply and diff.
#include "client/profile.h"
#include "qrvctl/command_support.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

Json DifferencesJson(const std::vector<FieldDifference>& differences) {
    Json list = Json::array();
    for (const FieldDifference& d : differences)
        list.push_back(Json{{"field", d.field->name}, {"profile", ValueJson(d.wanted)}, {"module", ValueJson(d.found)}});
    return list;
}

// The profile with the --set values laid over it.
Status LoadProfile(const std::string& file, Profile& profile, const std::vector<std::string>& overrides) {
    if (Status st = qrv::client::LoadProfile(file, profile); !st.Ok()) return st;
    std::vector<Assignment> assignments;
    if (Status st = ParseAssignments(overrides, assignments); !st.Ok()) return st;
    for (const Assignment& a : assignments) profile.Set(*a.field, a.value);
    return {};
}

}  // namespace

int RunProfileSave(const CommonOptions& options, const Target& target, const std::string& file, bool withPassword) {
    const Printer printer(options.json, options.quiet);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    ModuleRecords records;
    if (Status st = OpenAndRead(options, target, printer, connection, module, records); !st.Ok()) return Finish(st);
    const Profile profile = ProfileFromRecord(records.base, records.property, withPassword);
    if (Status st = SaveProfile(file, profile); !st.Ok()) return Finish(st);
    if (printer.Json())
        printer.Document(Json{{"file", file}, {"identity", IdentityJson(records.base)}, {"fields", profile.fields.size()}});
    else
        printer.Text("saved " + std::to_string(profile.fields.size()) + " fields of " + module->Describe() + " to " + file);
    return Finish({});
}

int RunProfileApply(const CommonOptions& options, const Target& target, const std::string& file,
                    const std::vector<std::string>& overrides, const std::optional<std::string>& password) {
    const Printer printer(options.json, options.quiet);
    Profile profile;
    if (Status st = LoadProfile(file, profile, overrides); !st.Ok()) return Finish(st);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    ModuleRecords current;
    if (Status st = OpenAndRead(Writing(options), target, printer, connection, module, current); !st.Ok())
        return Finish(st);
    ChangeResult result;
    const Status st = ChangeModule(*module, current, connection, target, password,
                                   [&](ModuleProperty& wanted) { return ApplyProfile(profile, wanted); }, result);
    if (printer.Json()) {
        Json json{{"file", file}, {"verified", st.Ok()}};
        if (st.Ok() || st.outcome == Outcome::Mismatch) json["identity"] = IdentityJson(result.after.base);
        json["differences"] = DifferencesJson(result.differences);
        printer.Document(json);
    } else if (st.Ok()) {
        printer.Text(module->Describe() + " (now " + Hex(result.after.base.NetAddr, 4) + "): " + file +
                     " written and verified");
    }
    return Finish(st);
}

int RunProfileDiff(const CommonOptions& options, const Target& target, const std::string& file,
                   const std::vector<std::string>& overrides) {
    const Printer printer(options.json, options.quiet);
    Profile profile;
    if (Status st = LoadProfile(file, profile, overrides); !st.Ok()) return Finish(st);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    ModuleRecords records;
    if (Status st = OpenAndRead(options, target, printer, connection, module, records); !st.Ok()) return Finish(st);
    const std::vector<FieldDifference> differences = CompareProfile(profile, records.property);
    if (printer.Json()) {
        printer.Document(Json{{"file", file}, {"identity", IdentityJson(records.base)}, {"differences", DifferencesJson(differences)}});
    } else {
        std::vector<std::vector<std::string>> rows;
        for (const FieldDifference& d : differences)
            rows.push_back({std::string(d.field->name), FormatField(*d.field, d.wanted), FormatField(*d.field, d.found)});
        if (!rows.empty()) printer.Table({"FIELD", "PROFILE", "MODULE"}, rows);
    }
    if (differences.empty()) {
        printer.Note(module->Describe() + " matches " + file);
        return Finish({});
    }
    return Finish(Status::Fail(Outcome::Mismatch, module->Describe() + " differs from " + file + " in " +
                                                      std::to_string(differences.size()) + " field(s)"));
}

}  // namespace qrvctl
