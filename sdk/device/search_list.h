// The search result list: one plain record per module found, in the order
// found. Its own guard, held for each single list operation and never across
// a serial exchange, lets a window thread count and copy entries (or clear
// the list) while a search appends.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "qrvlink/qrvlink.h"

namespace qrv {

struct SearchEntry {
    ::ModuleBase base{};
    std::int32_t foundChannel = 0;  // the pair the module was found on, and is reached on
    std::int32_t foundRate = 0;
    ModuleProperty current{};  // as last read from or written to the module
    ModuleProperty pending{};  // what the next submit sends
    std::int32_t loaded = 0;
};

class SearchList {
public:
    int Count() const;
    bool IsValid(int index) const;
    // A copy of entry `index`, none for an index outside the list.
    std::optional<SearchEntry> View(int index) const;
    // Runs `change` on entry `index` under the guard; false for a bad index.
    template <typename Change>
    bool Update(int index, Change&& change) {
        std::lock_guard lock(guard_);
        if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) return false;
        change(entries_[static_cast<std::size_t>(index)]);
        return true;
    }
    // Appends unless an entry absorbs the answer (same address, type and run
    // state, firmware version still 0); true when appended.
    bool AppendIfNew(const ::ModuleBase& base, int channel, int rate);
    void Clear();

private:
    mutable std::mutex guard_;
    std::vector<SearchEntry> entries_;
};

}  // namespace qrv
