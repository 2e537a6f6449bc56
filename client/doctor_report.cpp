#include "client/doctor.h"

#include <algorithm>

namespace qrv::client {

const char* VerdictName(CheckVerdict verdict) {
    switch (verdict) {
        case CheckVerdict::Pass:
            return "PASS";
        case CheckVerdict::Warn:
            return "WARN";
        case CheckVerdict::Fail:
            return "FAIL";
        case CheckVerdict::Skip:
            break;
    }
    return "SKIP";
}

std::string CheckResult::Fact(const std::string& key) const {
    for (const auto& [name, value] : facts)
        if (name == key) return value;
    return {};
}

std::string ReportText(const std::string& port, const std::vector<CheckResult>& checks) {
    std::string text = "Port " + port + "\n";
    for (const CheckResult& c : checks) {
        std::string id = c.id;
        id.resize(std::max<std::size_t>(id.size(), 14), ' ');
        text += std::string(VerdictName(c.verdict)) + "  " + id + c.found + "\n";
        std::size_t from = 0;
        while (!c.advice.empty() && from <= c.advice.size()) {
            const std::size_t end = c.advice.find('\n', from);
            text += "      -> " + c.advice.substr(from, end - from) + "\n";
            if (end == std::string::npos) break;
            from = end + 1;
        }
    }
    return text;
}

}  // namespace qrv::client
