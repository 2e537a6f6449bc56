// The search result list. One guard serialises every list operation so a
// window thread can count and copy entries while a search appends; it is
// never held across a serial exchange.
#include <cstring>

#include "device/qrv_dev.h"

namespace qrv {

bool CQRVDev::IsValidIndex(int index) const {
    std::lock_guard lock(searchGuard_);
    return index >= 0 && static_cast<std::size_t>(index) < SearchList.size();
}

std::optional<CQRVDev::EntryView> CQRVDev::ViewEntry(int index) const {
    std::lock_guard lock(searchGuard_);
    if (index < 0 || static_cast<std::size_t>(index) >= SearchList.size()) return std::nullopt;
    const CQRVDev& entry = *SearchList[static_cast<std::size_t>(index)];
    return EntryView{entry.ModuleBase.NetAddr, entry.ModuleBase.DevType, entry.FoundChannel, entry.FoundRate,
                     entry.Loaded,           entry.CurProperty,        entry.PendingProperty};
}

int CQRVDev::GetSearchDevCount() const {
    std::lock_guard lock(searchGuard_);
    return static_cast<int>(SearchList.size());
}

int CQRVDev::GetRemoteDevBase(::ModuleBase* out, int index) const {
    std::lock_guard lock(searchGuard_);
    if (out == nullptr || index < 0 || static_cast<std::size_t>(index) >= SearchList.size()) return 0;
    std::memcpy(out, &SearchList[static_cast<std::size_t>(index)]->ModuleBase, sizeof(::ModuleBase));
    return 1;
}

void CQRVDev::ClearSearchArr() {
    std::vector<std::unique_ptr<CQRVDev>> doomed;
    {
        std::lock_guard lock(searchGuard_);
        doomed.swap(SearchList);
    }
    // Entries are destroyed in list order, outside the guard.
    for (auto& entry : doomed) entry.reset();
}

bool CQRVDev::AppendIfNew(const ::ModuleBase& base, int channel, int rate) {
    std::lock_guard lock(searchGuard_);
    // An entry absorbs a repeated answer only while its firmware version is
    // still 0, i.e. until its property record has been read.
    for (const auto& entry : SearchList) {
        const ::ModuleBase& known = entry->ModuleBase;
        if (known.NetAddr == base.NetAddr && known.DevType == base.DevType && known.RunState == base.RunState &&
            known.FwVersion == 0)
            return false;
    }
    auto entry = std::make_unique<CQRVDev>();
    entry->ModuleBase = base;
    entry->FoundChannel = channel;
    entry->FoundRate = rate;
    SearchList.push_back(std::move(entry));
    return true;
}

}  // namespace qrv
