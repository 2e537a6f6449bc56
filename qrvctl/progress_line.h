// One line on standard error that a long operation rewrites in place
// (search sweeps, upgrades); shown only on a terminal.
#pragma once

#include <chrono>
#include <string>

namespace qrvctl {

class ProgressLine {
public:
    explicit ProgressLine(bool quiet);
    ~ProgressLine() { Clear(); }
    void Show(const std::string& text);
    void Clear();

private:
    bool enabled_;
    bool shown_ = false;
};

// "1m05s", "12s"
std::string Duration(std::chrono::milliseconds time);

// An upgrade's progress: the blocks acknowledged so far, the time spent and
// the time it still takes.
struct UpgradeProgress {
    std::chrono::milliseconds elapsed{0}, left{0};
    int block = 0, blocks = 0;
};
// "[#########.....................] block 3 of 10, 4s spent, about 9s left"
std::string UpgradeProgressText(const UpgradeProgress& progress);

}  // namespace qrvctl
