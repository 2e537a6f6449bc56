// Writing a configuration the way a production line needs it: write,
// restart, read back and compare every field that was written.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "client/module_access.h"
#include "client/profile.h"

namespace qrv::client {

// `beforeReadBack` runs between the write and the read-back (the port may
// have to follow the module's new serial settings). Mismatch when the
// module reports other values; `differences` then lists them.
Status WriteAndVerify(ModuleAccess& module, const ModuleProperty& wanted, ModuleRecords& after,
                      std::vector<FieldDifference>& differences,
                      const std::function<Status()>& beforeReadBack = {});

// "name (wrote "A", module has "B"), channel (...)"
std::string DescribeDifferences(const std::vector<FieldDifference>& differences);

}  // namespace qrv::client
