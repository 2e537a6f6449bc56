// Scenario files: JSON, names in UTF-8 (converted to the modules' GBK).
//
//   { "local": { "name": "本地主机", "address": "0x0001", "dev_type": "0x12",
//                "channel": 11, "air_rate": 0, "io": { "ad_mv": [1650, 0, 0, 0] } },
//     "far":   [ { "name": "P2P-Node-A", "address": "0x0102", "dev_type": "0x10" } ] }
//
// Numbers may be JSON integers or strings ("0x1A", "26"). Every record field
// has a key (see docs/qrvsim.md); a missing one takes the typical value.
#pragma once

#include <string>

#include "sim/scenario.h"

namespace qrv::sim {

// On failure `error` says what is wrong and `out` is left alone.
bool ParseScenario(const std::string& json, Scenario& out, std::string& error);
std::string ScenarioToJson(const Scenario& scenario);

bool LoadScenarioFile(const std::string& path, Scenario& out, std::string& error);
// Writes a temporary file beside `path` (beside the file it names, when it
// is a symbolic link) and renames it over, so a crash never leaves half a
// scenario behind. Keys of the file this simulator does not know, and values
// that did not change, stay as the file had them.
bool SaveScenarioFile(const std::string& path, const Scenario& scenario, std::string& error);

}  // namespace qrv::sim
