#include "qrvctl/progress_line.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace qrvctl {

ProgressLine::ProgressLine(bool quiet) : enabled_(!quiet && isatty(STDERR_FILENO)) {}

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
    const double done = p.blocks > 0 ? double(p.block) / p.blocks
                        : p.expected.count() > 0 ? std::min(0.99, double(p.elapsed.count()) / double(p.expected.count()))
                                                 : 0.0;
    const int filled = static_cast<int>(done * kBarWidth);
    std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    if (p.blocks > 0) text += "block " + std::to_string(p.block) + " of " + std::to_string(p.blocks) + ", ";
    const auto left = std::max(std::chrono::milliseconds(0), p.expected - p.elapsed);
    return text + Duration(p.elapsed) + " spent, about " + Duration(left) + " left";
}

}  // namespace qrvctl
