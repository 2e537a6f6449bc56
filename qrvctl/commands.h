// The commands, each returning qrvctl's exit code. main.cpp only parses the
// command line and calls one of these.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qrvctl/common_options.h"

namespace qrvctl {

// The local module, or a far one by address (`remote ADDR`, `--address`).
struct Target {
    std::optional<std::string> address;
    WhereOptions where;
};

int RunPorts(const CommonOptions& options);
int RunDetect(const CommonOptions& options);
// Checks the port (or every adapter's) and the line; --fix lowers a latency timer.
int RunDoctor(const CommonOptions& options, bool fix);

int RunInfo(const CommonOptions& options, const Target& target);
int RunSet(const CommonOptions& options, const Target& target, const std::vector<std::string>& assignments,
           const std::optional<std::string>& password);
int RunReset(const CommonOptions& options, const Target& target);
int RunFactoryReset(const CommonOptions& options, const Target& target, bool yes);

int RunSearch(const CommonOptions& options, const WhereOptions& where, const std::optional<std::string>& address);

int RunIoRead(const CommonOptions& options, const Target& target);
int RunIoWrite(const CommonOptions& options, const Target& target, const std::string& bits,
               const std::optional<std::string>& directions);
int RunAd(const CommonOptions& options, const Target& target);

// The local module read every `intervalMs` until Ctrl-C, or `count` times.
int RunMonitor(const CommonOptions& options, int intervalMs, int count);

int RunUpgrade(const CommonOptions& options, const Target& target, const std::string& file);

int RunProfileSave(const CommonOptions& options, const Target& target, const std::string& file, bool withPassword);
int RunProfileApply(const CommonOptions& options, const Target& target, const std::string& file,
                    const std::vector<std::string>& overrides, const std::optional<std::string>& password);
int RunProfileDiff(const CommonOptions& options, const Target& target, const std::string& file,
                   const std::vector<std::string>& overrides);

struct ProvisionOptions {
    std::string plan;
    std::string profile;    // fields every module shares
    std::vector<std::string> ports;  // several: one station each; "all", "serial:NUMBER"
    bool station = false;
    bool remote = false;    // far modules over the air from the local module
    std::string report;     // empty: PLAN.report.jsonl
    std::string reportCsv;
    std::optional<std::string> password;
    int pollMs = 300;       // between two looks for a module in the jig
    bool json = false;
};
int RunProvision(const CommonOptions& options, const ProvisionOptions& provision);

}  // namespace qrvctl
