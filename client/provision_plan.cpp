#include "client/provision_plan.h"

#include <fstream>
#include <sstream>

namespace qrv::client {

namespace {

constexpr std::string_view kMatchColumn = "match-address";

// One CSV record from `text` at `pos`; false at the end of the text.
bool NextRecord(std::string_view text, std::size_t& pos, std::vector<std::string>& cells, bool& badQuote) {
    cells.clear();
    badQuote = false;
    if (pos >= text.size()) return false;
    std::string cell;
    bool quoted = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (quoted) {
            if (c != '"') {
                cell += c;
            } else if (pos + 1 < text.size() && text[pos + 1] == '"') {
                cell += '"';
                ++pos;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            cells.push_back(std::move(cell));
            cell.clear();
        } else if (c == '\n') {
            ++pos;
            break;
        } else if (c != '\r') {
            cell += c;
        }
    }
    badQuote = quoted;
    cells.push_back(std::move(cell));
    return true;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

Status PlanFromCsv(std::string_view text, Plan& out) {
    out = {};
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a spreadsheet's byte-order mark
    std::size_t pos = 0;
    std::vector<std::string> cells;
    bool badQuote = false;
    if (!NextRecord(text, pos, cells, badQuote))
        return Status::Fail(Outcome::File, "the plan is empty: its first line names the fields");
    std::vector<const FieldSpec*> columns;  // nullptr: match-address
    for (const std::string& raw : cells) {
        const std::string name = Trimmed(raw);
        const FieldSpec* field = name == kMatchColumn ? nullptr : FindField(name);
        if (!field && name != kMatchColumn)
            return Status::Fail(Outcome::File, "the plan's header names no field \"" + name + "\"");
        for (const FieldSpec* seen : columns)
            if (seen == field) return Status::Fail(Outcome::File, "the plan's header names \"" + name + "\" twice");
        if (!field) out.matchByAddress = true;
        columns.push_back(field);
    }
    int number = 0;
    while (NextRecord(text, pos, cells, badQuote)) {
        if (cells.size() == 1 && Trimmed(cells[0]).empty()) continue;  // a blank line
        const std::string where = "plan row " + std::to_string(++number);
        if (badQuote) return Status::Fail(Outcome::File, where + ": a quote is not closed");
        if (cells.size() > columns.size())
            return Status::Fail(Outcome::File, where + " has " + std::to_string(cells.size()) + " cells, the header " +
                                                   std::to_string(columns.size()));
        PlanRow row;
        row.number = number;
        for (std::size_t i = 0; i < cells.size(); ++i) {
            const std::string cell = columns[i] && columns[i]->kind == FieldKind::Text ? cells[i] : Trimmed(cells[i]);
            if (cell.empty()) continue;
            if (!columns[i]) {
                const std::optional<std::int64_t> address = ParseInteger(cell);
                if (!address || *address < 0 || *address > 0xFFFF)
                    return Status::Fail(Outcome::File, where + ", match-address: \"" + cell + "\" is not an address");
                row.matchAddress = static_cast<std::uint16_t>(*address);
                continue;
            }
            FieldValue value;
            if (Status st = ParseField(*columns[i], cell, value); !st.Ok())
                return Status::Fail(Outcome::File, where + ", " + std::string(columns[i]->name) + ": " + st.message);
            row.fields.push_back({columns[i], std::move(value)});
        }
        out.rows.push_back(std::move(row));
    }
    if (out.rows.empty()) return Status::Fail(Outcome::File, "the plan has no rows under its header");
    return {};
}

Status LoadPlan(const std::string& path, Plan& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Status::Fail(Outcome::File, "cannot read the plan " + path);
    std::ostringstream text;
    text << in.rdbuf();
    if (Status st = PlanFromCsv(text.str(), out); !st.Ok()) return Status::Fail(st.outcome, path + ": " + st.message);
    return {};
}

Profile ProfileForRow(const Profile& shared, const PlanRow& row) {
    Profile profile = shared;
    for (const ProfileField& f : row.fields) profile.Set(*f.field, f.value);
    return profile;
}

}  // namespace qrv::client
