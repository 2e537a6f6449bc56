#include "client/profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>

#include "client/file_path.h"
#include "client/module_report.h"
#include "text/user_file.h"

namespace qrv::client {

namespace {

constexpr const char* kFormat = "qrvlink-profile";

// Values are quoted in messages only this far: a profile with a 10 MB name
// must not give a 10 MB message.
constexpr std::size_t kShownProfileBytes = 120;

std::string Cut(std::string text, std::size_t limit = kShownProfileBytes) {
    if (text.size() <= limit) return text;
    const std::size_t whole = text.size();
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // whole UTF-8 characters
    text.resize(end);
    return text + "... (" + std::to_string(whole) + " bytes)";
}

Status Invalid(const std::string& why) {
    return Status::Fail(Outcome::File, "not a valid profile: " + Cut(why, 4 * kShownProfileBytes));
}

// "parse error at line 3, column 5: syntax error while parsing object -
// unexpected end of input", "number overflow parsing '1e400'": the
// library's text without its "[json.exception...] " prefix.
std::string ParseErrorText(const Json::exception& error) {
    std::string text = error.what();
    if (!text.empty() && text.front() == '[')
        if (const auto end = text.find("] "); end != std::string::npos) text.erase(0, end + 2);
    return text;
}

// A profile's value as a field value. Numbers are told apart from wrong
// types: a fraction, a number beyond any field's range and one beyond what
// a double holds each say so.
std::optional<FieldValue> ProfileValue(const Json& json, std::string& why) {
    if (json.is_number_unsigned()) {
        if (json.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            why = "the number " + json.dump() + " is out of range";
            return std::nullopt;
        }
        return FieldValue(static_cast<std::int64_t>(json.get<std::uint64_t>()));
    }
    if (json.is_number_float()) {
        const double number = json.get<double>();
        if (!std::isfinite(number)) {
            why = "the number is too large to read";
        } else if (number != std::floor(number)) {
            why = "the number " + json.dump() + " is not a whole number";
        } else if (std::fabs(number) >= 9.2e18) {
            why = "the number " + json.dump() + " is out of range";
        } else {
            return FieldValue(static_cast<std::int64_t>(number));  // 11.0 is 11
        }
        return std::nullopt;
    }
    if (json.is_number_integer() || json.is_string()) return ValueFromJson(json);
    why = "expected a number or a string, found " + std::string(json.type_name());
    return std::nullopt;
}

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

Status ProfileFromJson(std::string_view text, Profile& out, ProfileFault* fault) {
    ProfileFault ignored;
    ProfileFault& facts = fault ? *fault : ignored;
    facts = {};
    const auto refuse = [&facts](ProfileFault::Kind kind, const std::string& why) {
        facts.kind = kind;
        return Invalid(why);
    };
    Json root;
    try {
        root = Json::parse(text);
    } catch (const Json::parse_error& error) {
        // The line the parser stopped on, counted as an editor counts it.
        const std::size_t at = std::min<std::size_t>(error.byte > 0 ? error.byte - 1 : 0, text.size());
        facts.line =
            1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'));
        return refuse(ProfileFault::Kind::Syntax, ParseErrorText(error));
    } catch (const Json::exception& error) {
        return refuse(ProfileFault::Kind::Syntax, ParseErrorText(error));
    }
    using Kind = ProfileFault::Kind;
    if (!root.is_object())
        return refuse(Kind::NotProfile, "the top level is " + std::string(root.type_name()) + ", not a JSON object");
    // Looked at before read: value() throws on a "format" that is no string.
    if (!root.contains("format") || !root.at("format").is_string() || root.at("format") != kFormat)
        return refuse(Kind::NotProfile, "\"format\" must be \"" + std::string(kFormat) + "\"");
    if (!root.contains("version")) return refuse(Kind::NotProfile, "\"version\" is missing");
    if (!root.at("version").is_number_integer()) return refuse(Kind::NotProfile, "\"version\" must be a whole number");
    const auto version = root.at("version").get<std::int64_t>();
    if (version < 1 || version > kProfileVersion) {
        facts.version = version;
        return refuse(version < 1 ? Kind::NotProfile : Kind::NewerVersion, "version " + std::to_string(version) +
                                                                               " (this program reads version " +
                                                                               std::to_string(kProfileVersion) + ")");
    }
    if (!root.contains("fields") || !root.at("fields").is_object())
        return refuse(Kind::NotProfile, "\"fields\" must be an object");
    // An empty profile would "match" every module and change none.
    if (root.at("fields").empty()) return refuse(Kind::NoFields, "\"fields\" is empty");

    Profile profile;
    ModuleProperty scratch{};
    for (const auto& [name, json] : root.at("fields").items()) {
        const FieldSpec* field = FindField(name);
        if (!field) {
            facts.name = Cut(name);
            return refuse(Kind::UnknownField, "\"" + Cut(name) + "\" is not a field name");
        }
        facts.field = field;
        facts.value =
            Cut(json.is_string() ? json.get<std::string>() : json.dump(-1, ' ', false, Json::error_handler_t::replace));
        std::string why;
        const std::optional<FieldValue> value = ProfileValue(json, why);
        if (!value) return refuse(Kind::BadValue, name + ": " + why);
        if (Status st = WriteField(scratch, *field, *value); !st.Ok()) return refuse(Kind::BadValue, Cut(st.message));
        facts.field = nullptr;
        facts.value.clear();
        profile.Set(*field, *value);
    }
    out = std::move(profile);
    return {};
}

Status SaveProfile(const std::string& path, const Profile& profile) {
    // Written beside and renamed over: a failed write never leaves half a profile.
    std::string problem;
    if (!text::WritableAsRegularFile(path, problem)) return Status::Fail(Outcome::File, problem);
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

Status LoadProfile(const std::string& path, Profile& out, ProfileFault* fault) {
    std::string text, problem;
    if (!text::ReadUserFile(path, text, problem)) {
        if (fault) {
            *fault = {};
            fault->kind = ProfileFault::Kind::File;
        }
        return Status::Fail(Outcome::File, problem);
    }
    Status st = ProfileFromJson(text, out, fault);
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
