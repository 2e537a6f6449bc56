#include "qrvctl/printer.h"

#include <algorithm>
#include <cstdio>

namespace qrvctl {

namespace {

// Columns are aligned by characters, not bytes: names may be Chinese.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string Padded(const std::string& text, std::size_t width) {
    return text + std::string(width > Width(text) ? width - Width(text) : 0, ' ');
}

}  // namespace

void Printer::Lines(const std::vector<ReportLine>& lines) const {
    std::size_t width = 0;
    for (const ReportLine& line : lines) width = std::max(width, Width(line.name));
    for (const ReportLine& line : lines) std::printf("%s  %s\n", Padded(line.name, width).c_str(), line.text.c_str());
}

void Printer::Table(const std::vector<std::string>& heading, const std::vector<std::vector<std::string>>& rows) const {
    std::vector<std::size_t> widths(heading.size());
    for (std::size_t c = 0; c < heading.size(); ++c) widths[c] = Width(heading[c]);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
    auto print = [&](const std::vector<std::string>& cells) {
        std::string line;
        for (std::size_t c = 0; c < cells.size(); ++c) line += c + 1 < cells.size() ? Padded(cells[c], widths[c] + 2) : cells[c];
        std::printf("%s\n", line.c_str());
    };
    print(heading);
    for (const auto& row : rows) print(row);
    std::fflush(stdout);
}

namespace {
bool jsonPrinted = false;
}  // namespace

bool Printer::JsonPrinted() { return jsonPrinted; }

void Printer::Document(const qrv::client::Json& json) const {
    jsonPrinted = true;
    std::printf("%s\n", json.dump(2, ' ', false, qrv::client::Json::error_handler_t::replace).c_str());
}

void Printer::JsonLine(const qrv::client::Json& json) const {
    jsonPrinted = true;
    std::printf("%s\n", json.dump(-1, ' ', false, qrv::client::Json::error_handler_t::replace).c_str());
    std::fflush(stdout);
}

void Printer::Text(const std::string& line) const {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void Printer::Note(const std::string& line) const {
    if (!quiet_) std::fprintf(stderr, "qrvctl: %s\n", line.c_str());
}

}  // namespace qrvctl
