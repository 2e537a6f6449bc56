#include "client/profile.h"

#include <fstream>
#include <sstream>

#include "client/file_path.h"
#include "client/module_report.h"

namespace qrv::client {

namespace {

constexpr const char* kFormat = "qrvlink-profile";

Status Invalid(const std::string& why) { return Status::Fail(Outcome::File, "not a valid profile: " + why); }

std::size_t RecordOrder(const FieldSpec* field) {
    const auto all = AllFields();
    return static_cast<std::size_t>(field - all.data());
}

}  // namespace

void Profile::Set(const FieldSpec& field, FieldValue value) {
    for (ProfileField& f : fields)
        if (f.field == &field) {
            f.value = std::move(value);
            return;
        }
    auto at = fields.begin();
    while (at != fields.end() && RecordOrder(at->field) < RecordOrder(&field)) ++at;
    fields.insert(at, {&field, std::move(value)});
}

Profile ProfileFromRecord(const ModuleBase& base, const ModuleProperty& record, bool withPassword) {
    Profile profile;
    profile.source = base;
    for (const FieldSpec& field : AllFields())
        if (withPassword || field.id != FieldId::Password) profile.fields.push_back({&field, ReadField(record, field)});
    return profile;
}

std::string ProfileToJson(const Profile& profile) {
    Json root = Json::object();
    root["format"] = kFormat;
    root["version"] = kProfileVersion;
    if (profile.source) root["module"] = IdentityJson(*profile.source);
    Json fields = Json::object();
    for (const ProfileField& f : profile.fields) fields[std::string(f.field->name)] = ValueJson(f.value);
    root["fields"] = fields;
    return root.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

Status ProfileFromJson(std::string_view text, Profile& out) {
    const Json root = Json::parse(text, nullptr, false);
    if (root.is_discarded() || !root.is_object()) return Invalid("not a JSON object");
    if (root.value("format", "") != kFormat) return Invalid("\"format\" must be \"" + std::string(kFormat) + "\"");
    if (!root.contains("version") || !root.at("version").is_number_integer()) return Invalid("\"version\" is missing");
    const auto version = root.at("version").get<std::int64_t>();
    if (version < 1 || version > kProfileVersion)
        return Invalid("version " + std::to_string(version) + " (this program reads version " +
                       std::to_string(kProfileVersion) + ")");
    if (!root.contains("fields") || !root.at("fields").is_object()) return Invalid("\"fields\" must be an object");

    Profile profile;
    ModuleProperty scratch{};
    for (const auto& [name, json] : root.at("fields").items()) {
        const FieldSpec* field = FindField(name);
        if (!field) return Invalid("\"" + name + "\" is not a field name");
        const std::optional<FieldValue> value = ValueFromJson(json);
        if (!value) return Invalid(name + ": expected a number or a string");
        if (Status st = WriteField(scratch, *field, *value); !st.Ok()) return Invalid(st.message);
        profile.Set(*field, *value);
    }
    out = std::move(profile);
    return {};
}

Status SaveProfile(const std::string& path, const Profile& profile) {
    // Written beside and renamed over: a failed write never leaves half a profile.
    const std::filesystem::path target = Utf8Path(path), temporary = Utf8Path(path + ".tmp");
    std::error_code ignored;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << ProfileToJson(profile);
        file.flush();
        if (!file) {
            std::filesystem::remove(temporary, ignored);
            return Status::Fail(Outcome::File, path + ": cannot write");
        }
    }
    if (!MoveOver(temporary, target)) {
        std::filesystem::remove(temporary, ignored);
        return Status::Fail(Outcome::File, path + ": cannot write");
    }
    return {};
}

Status LoadProfile(const std::string& path, Profile& out) {
    std::ifstream file(Utf8Path(path), std::ios::binary);
    if (!file) return Status::Fail(Outcome::File, path + ": cannot open");
    std::ostringstream text;
    text << file.rdbuf();
    Status st = ProfileFromJson(text.str(), out);
    if (!st.Ok()) st.message = path + ": " + st.message;
    return st;
}

Status ApplyProfile(const Profile& profile, ModuleProperty& record) {
    ModuleProperty result = record;
    for (const ProfileField& f : profile.fields)
        if (Status st = WriteField(result, *f.field, f.value); !st.Ok()) return st;
    record = result;
    return {};
}

std::vector<FieldDifference> CompareProfile(const Profile& profile, const ModuleProperty& record) {
    std::vector<FieldDifference> differences;
    for (const ProfileField& f : profile.fields) {
        // Compared as the record stores them: "0x0203" and 515 are the same address.
        ModuleProperty wanted = record;
        const FieldValue found = ReadField(record, *f.field);
        if (!WriteField(wanted, *f.field, f.value).Ok() || ReadField(wanted, *f.field) != found)
            differences.push_back({f.field, f.value, found});
    }
    return differences;
}

}  // namespace qrv::client
