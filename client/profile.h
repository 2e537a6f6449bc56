// Profiles: a module's configuration saved as versioned, human-readable JSON
// with every writable field by name, to be laid over other modules.
//
//   { "format": "qrvlink-profile", "version": 1,
//     "module": { "address": 1, "device-type": "vlx-io", ... },   (where it came from)
//     "fields": { "name": "本地主机", "work-mode": "host", "channel": 11, ... } }
//
// The password is saved only when asked for. Fields a profile leaves out
// keep the module's value when it is applied.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/fields.h"
#include "client/status.h"

namespace qrv::client {

inline constexpr int kProfileVersion = 1;

struct ProfileField {
    const FieldSpec* field = nullptr;
    FieldValue value;
};

struct Profile {
    std::vector<ProfileField> fields;  // record order
    std::optional<ModuleBase> source;  // the module it was saved from

    // Adds the field or replaces its value (--set overrides).
    void Set(const FieldSpec& field, FieldValue value);
};

Profile ProfileFromRecord(const ModuleBase& base, const ModuleProperty& record, bool withPassword);
std::string ProfileToJson(const Profile& profile);
// Why a profile was refused, as facts a front end can put in its own
// words (the Status message is English).
struct ProfileFault {
    enum class Kind {
        None,
        File,          // the file cannot be read: the message says why
        Syntax,        // not JSON; `line` is where it goes wrong
        NotProfile,    // JSON, but no "format": "qrvlink-profile", "version" and "fields"
        NewerVersion,  // `version` is newer than kProfileVersion
        NoFields,      // "fields" is empty
        UnknownField,  // `name` is no field's name
        BadValue,      // `field`'s value does not fit it; `value` as the file has it
    };
    Kind kind = Kind::None;
    int line = 0;
    std::int64_t version = 0;
    std::string name;
    const FieldSpec* field = nullptr;
    std::string value;
};

// Refuses other formats, newer versions, unknown field names and values
// that do not fit their field; the message names what is wrong, `fault`
// (when given) holds the same as facts.
Status ProfileFromJson(std::string_view text, Profile& out, ProfileFault* fault = nullptr);

Status SaveProfile(const std::string& path, const Profile& profile);
Status LoadProfile(const std::string& path, Profile& out, ProfileFault* fault = nullptr);

// Lays the profile's fields over `record`; nothing changes on failure.
Status ApplyProfile(const Profile& profile, ModuleProperty& record);

struct FieldDifference {
    const FieldSpec* field = nullptr;
    FieldValue wanted;  // as the profile (or the write) has it
    FieldValue found;   // as the module reports it
};
// The profile's fields whose value the record does not hold.
std::vector<FieldDifference> CompareProfile(const Profile& profile, const ModuleProperty& record);

}  // namespace qrv::client
