// Profiles on arbitrary text: a refusal never echoes a long value whole; an
// accepted profile has fields, lays over any record without failing, then
// matches it, and survives its own JSON round trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "client/profile.h"

using namespace qrv::client;

namespace {
void Require(bool holds) {
    if (!holds) std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Profile profile;
    const Status st = ProfileFromJson(text, profile);
    if (!st.Ok()) {
        Require(!st.message.empty() && st.message.size() < 1024);
        Require(profile.fields.empty());
        return 0;
    }
    Require(!profile.fields.empty());
    ModuleProperty record{};
    Require(ApplyProfile(profile, record).Ok());
    Require(CompareProfile(profile, record).empty());
    Profile again;
    Require(ProfileFromJson(ProfileToJson(profile), again).Ok());
    Require(again.fields.size() == profile.fields.size());
    ModuleProperty other{};
    Require(ApplyProfile(again, other).Ok());
    Require(CompareProfile(profile, other).empty());
    return 0;
}
