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

// An upgrade's progress: blocks when the SDK reports them, else the time
// spent against the protocol's own time for the image.
struct UpgradeProgress {
    std::chrono::milliseconds elapsed{0}, expected{0};
    int block = 0, blocks = 0;  // 0 of 0: not reported
};
std::string UpgradeProgressText(const UpgradeProgress& progress);

}  // namespace qrvctl
