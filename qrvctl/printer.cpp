#include "qrvctl/printer.h"

#include <algorithm>
#include <cstdio>

namespace qrvctl {

namespace {

// East Asian wide and fullwidth characters take two columns of a terminal.
bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF && c != 0x303F) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Columns are aligned by what a terminal shows, not by bytes: names may be
// Chinese, two columns a character. A stray byte counts as one column.
std::size_t Width(const std::string& text) {
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 1;
        if (length == 1 || i + length > text.size()) {
            ++width;
            ++i;
            continue;
        }
        char32_t c = lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        width += IsWide(c) ? 2 : 1;
        i += length;
    }
    return width;
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
