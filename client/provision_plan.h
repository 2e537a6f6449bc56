// A production plan: a CSV file whose header names fields and whose rows
// are modules, one row a module, used in order.
//
//   local-address,name,match-address
//   0x0101,Pump 1,
//   0x0102,Pump 2,0x2002
//
// An empty cell leaves that field to the shared profile (or to the module);
// the optional match-address column picks the module a row is meant for
// by the address the module has now.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/profile.h"
#include "client/status.h"

namespace qrv::client {

struct PlanRow {
    int number = 0;  // 1 for the first row under the header
    std::vector<ProfileField> fields;
    std::optional<std::uint16_t> matchAddress;
};

struct Plan {
    std::vector<PlanRow> rows;
    bool matchByAddress = false;  // the header has a match-address column
};

// Refuses unknown columns, a column named twice, rows with more cells than
// the header, and values that do not fit their field; the message names
// the row and the column. Quoted cells ("Pump, north") may hold commas and
// doubled quotes.
Status PlanFromCsv(std::string_view text, Plan& out);
Status LoadPlan(const std::string& path, Plan& out);

// The shared profile with the row's fields laid over it.
Profile ProfileForRow(const Profile& shared, const PlanRow& row);

}  // namespace qrv::client
