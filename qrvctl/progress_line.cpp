#include "qrvctl/progress_line.h"

#include <algorithm>
#include <cstdio>

#include "qrvctl/console.h"

namespace qrvctl {

ProgressLine::ProgressLine(bool quiet) : enabled_(!quiet && IsTerminal(stderr)) {}

void ProgressLine::Show(const std::string& text) {
    if (!enabled_) return;
    std::fprintf(stderr, "\r%s\033[K", text.c_str());
    std::fflush(stderr);
    shown_ = true;
}

void ProgressLine::Clear() {
    if (!shown_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
    shown_ = false;
}

std::string Duration(std::chrono::milliseconds time) {
    const long long seconds = (time.count() + 500) / 1000;
    return seconds >= 60 ? std::to_string(seconds / 60) + "m" + (seconds % 60 < 10 ? "0" : "") + std::to_string(seconds % 60) + "s"
                         : std::to_string(seconds) + "s";
}

std::string UpgradeProgressText(const UpgradeProgress& p) {
    constexpr int kBarWidth = 30;
    const int filled = p.blocks > 0 ? std::clamp(p.block, 0, p.blocks) * kBarWidth / p.blocks : 0;
    return "[" + std::string(static_cast<std::size_t>(filled), '#') +
           std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] block " + std::to_string(p.block) +
           " of " + std::to_string(p.blocks) + ", " + Duration(p.elapsed) + " spent, about " + Duration(p.left) +
           " left";
}

}  // namespace qrvctl
