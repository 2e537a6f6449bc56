// Scenario files as a user may write them: a text either loads or is
// refused with a reason, and what loads survives a save and a load unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "sim/scenario_json.h"

using namespace qrv::sim;

namespace {
bool SameModule(const ModuleConfig& a, const ModuleConfig& b) {
    return std::memcmp(&a.record, &b.record, sizeof a.record) == 0 &&
           std::memcmp(&a.factory, &b.factory, sizeof a.factory) == 0 && a.appDevType == b.appDevType &&
           a.upgradeVersion == b.upgradeVersion && a.io.present == b.io.present &&
           a.io.directions == b.io.directions && a.io.outputs == b.io.outputs && a.io.inputs == b.io.inputs &&
           a.io.adMillivolts == b.io.adMillivolts;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Scenario first;
    std::string error;
    if (!ParseScenario(text, first, error)) {
        if (error.empty()) std::abort();
        return 0;
    }
    Scenario second;
    if (!ParseScenario(ScenarioToJson(first), second, error)) std::abort();
    if (!SameModule(first.local, second.local) || first.far.size() != second.far.size()) std::abort();
    for (std::size_t i = 0; i < first.far.size(); ++i)
        if (!SameModule(first.far[i], second.far[i])) std::abort();
    return 0;
}
