// The shared table of field values (field_cases.csv beside this file): each
// front end's test feeds every row through its own checks.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace qrv::test {

struct FieldCase {
    std::string field;  // as qrvctl spells it
    std::string value;  // \xNN already turned into its byte
    bool accepted = false;
};

inline std::string UnescapeBytes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size()) {
            out += static_cast<char>(std::strtol(text.substr(i + 2, 2).c_str(), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Every row of the table at `path`; empty when it cannot be read.
inline std::vector<FieldCase> ReadFieldCases(const std::string& path) {
    std::vector<FieldCase> cases;
    std::ifstream in(path);
    std::string line;
    bool header = true;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (header) {
            header = false;
            continue;
        }
        const std::size_t first = line.find(','), last = line.rfind(',');
        if (first == std::string::npos || first == last) continue;
        cases.push_back({line.substr(0, first), UnescapeBytes(line.substr(first + 1, last - first - 1)),
                         line.substr(last + 1) == "yes"});
    }
    return cases;
}

}  // namespace qrv::test
