// The provisioning report as the ledger of a production run: one JSON
// object per line, appended under a lock so that several stations (worker
// processes, one per port) share one file and one plan.
//
// Beside the module records (result "written", "unchanged", "failed") it
// holds two marks: "claimed" when a station takes a row for the module in
// its jig, "writing" just before the row's write is sent. From them a rerun
// after an interruption knows which rows are used: a row that was written,
// found unchanged, failed after its write was sent, or was being written
// when the run stopped is never handed to another module; a row that was
// only claimed, or failed before anything was written, is free again.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "client/module_report.h"
#include "client/provision_plan.h"
#include "client/status.h"

namespace qrv::client {

struct LedgerState {
    std::set<int> used;          // rows never to be handed out again
    std::set<int> held;          // claimed in this run, no record yet
    std::set<int> cutMidWrite;   // being written when an earlier run stopped
};

// What the lines of a report say about the rows, for the run `run`.
// Lines that are not JSON objects are skipped (a line cut by a crash).
LedgerState ReadLedger(const std::vector<std::string>& lines, const std::string& run);

// The row for a module: the first free one, or with match-address columns
// the free row meant for the module's address. Nothing when none is left.
std::optional<int> NextRow(const Plan& plan, const LedgerState& state, std::optional<std::uint16_t> moduleAddress);

class Ledger {
public:
    Ledger(std::string path, std::string run) : path_(std::move(path)), run_(std::move(run)) {}

    // Takes a row for the module and records the claim, all under the lock.
    // `row` stays empty when the plan has none left for it.
    Status Claim(const Plan& plan, std::optional<std::uint16_t> moduleAddress, const std::string& port,
                 std::optional<int>& row);
    // Appends one object as one line; the time and the run are put first,
    // into `record` too.
    Status Append(Json& record);
    // The state as the file now says.
    Status State(LedgerState& out);
    const std::string& Run() const { return run_; }

private:
    std::string path_;
    std::string run_;
};

// The record as one CSV line (time, run, port, row, address, new address,
// result, reason, duration), with the heading when the file is new.
Status AppendCsvRecord(const std::string& path, const Json& record);

// "2026-12-08T03:14:04.123Z"
std::string UtcTimestamp();
// One id per run of the command: the time and the process.
std::string NewRunId();

}  // namespace qrv::client
