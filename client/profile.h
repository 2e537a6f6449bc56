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
// Refuses other formats, newer versions, unknown field names and values
// that do not fit their field; the message names what is wrong.
Status ProfileFromJson(std::string_view text, Profile& out);

Status SaveProfile(const std::string& path, const Profile& profile);
Status LoadProfile(const std::string& path, Profile& out);

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
