// What provision shows of each module: a PASS/FAIL line on a terminal
// (coloured, with the bell on FAIL, where the terminal has colour), the
// report record as a JSON line with --json.
#pragma once

#include "client/module_report.h"

namespace qrvctl {

void ShowOutcome(const qrv::client::Json& record, bool json);

}  // namespace qrvctl
