#include "client/write_verify.h"

#include "client/module_report.h"

namespace qrv::client {

Status WriteAndVerify(ModuleAccess& module, const ModuleProperty& wanted, ModuleRecords& after,
                      std::vector<FieldDifference>& differences, const std::function<Status()>& beforeReadBack) {
    differences.clear();
    if (Status st = module.Write(wanted); !st.Ok()) return st;
    if (beforeReadBack)
        if (Status st = beforeReadBack(); !st.Ok()) return st;
    if (Status st = module.Read(after); !st.Ok()) {
        st.message = "written, but the read-back failed: " + st.message;
        return st;
    }
    differences = CompareProfile(ProfileFromRecord(after.base, wanted, true), after.property);
    if (!differences.empty())
        return Status::Fail(Outcome::Mismatch, module.Describe() + " reports other values than were written: " +
                                                   DescribeDifferences(differences));
    return {};
}

std::string DescribeDifferences(const std::vector<FieldDifference>& differences) {
    std::string text;
    for (const FieldDifference& d : differences)
        text += (text.empty() ? "" : ", ") + std::string(d.field->name) + " (wanted " + ValueJson(d.wanted).dump() +
                ", module has " + ValueJson(d.found).dump() + ")";
    return text;
}

}  // namespace qrv::client
