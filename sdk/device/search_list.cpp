#include "device/search_list.h"

namespace qrv {

int SearchList::Count() const {
    std::lock_guard lock(guard_);
    return static_cast<int>(entries_.size());
}

bool SearchList::IsValid(int index) const {
    std::lock_guard lock(guard_);
    return index >= 0 && static_cast<std::size_t>(index) < entries_.size();
}

std::optional<SearchEntry> SearchList::View(int index) const {
    std::lock_guard lock(guard_);
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return std::nullopt;
    return entries_[static_cast<std::size_t>(index)];
}

bool SearchList::AppendIfNew(const ::ModuleBase& base, int channel, int rate) {
    std::lock_guard lock(guard_);
    // An entry absorbs a repeated answer only while its firmware version is
    // still 0, i.e. until its property record has been read.
    for (const SearchEntry& entry : entries_) {
        const ::ModuleBase& known = entry.base;
        if (known.NetAddr == base.NetAddr && known.DevType == base.DevType && known.RunState == base.RunState &&
            known.FwVersion == 0)
            return false;
    }
    SearchEntry entry;
    entry.base = base;
    entry.foundChannel = channel;
    entry.foundRate = rate;
    entries_.push_back(entry);
    return true;
}

void SearchList::Clear() {
    std::lock_guard lock(guard_);
    entries_.clear();
}

}  // namespace qrv
