// `qrvctl doctor` and 连接诊断: what stands between this user and a module
// on a serial port, one check at a time, each with what it found and what
// to do. The checks read the system below a root folder ("" is the real
// one), so every outcome can be made with a fake tree.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

#include "qrvlink/qrvlink.h"

namespace qrv::client {

enum class CheckVerdict { Pass, Warn, Fail, Skip };

const char* VerdictName(CheckVerdict verdict);  // "PASS", "WARN", "FAIL", "SKIP"

// One check's result. `id` and `outcome` name what was found ("permission",
// "not-in-group"); `facts` carry the values a translation fills in, so a
// Chinese report is made from them and never from the English text.
struct CheckResult {
    std::string id;
    CheckVerdict verdict = CheckVerdict::Pass;
    std::string outcome;
    std::vector<std::pair<std::string, std::string>> facts;
    std::string found;   // English, one line
    std::string advice;  // English; commands on lines of their own; empty when nothing to do

    std::string Fact(const std::string& key) const;
};

// This user as the kernel sees it, and as /etc/group lists it.
struct UserFacts {
    uid_t uid = 0;
    std::string name;
    std::vector<gid_t> processGroups;  // effective and supplementary
    std::vector<gid_t> listedGroups;   // from the group file (joined, maybe not yet active)
};

struct DoctorSetup {
    std::string root;  // prefix of /sys, /dev, /proc, /run, /etc, /usr/lib
    UserFacts user;
    pid_t self = 0;    // our own process, not counted as a holder
    bool fix = false;  // set the latency timer to 1 ms when allowed
};

// The calling process's user and pid, under `root`'s group file.
DoctorSetup RealSetup(const std::string& root = "");

// Port exists, stable name, adapter, permission, held, ModemManager,
// brltty, latency timer: from files only, no byte on the line.
std::vector<CheckResult> SystemChecks(const std::string& port, const DoctorSetup& setup);

// A trace handler the program had installed: the line checks pass the
// traffic on to it and put it back when they are done.
struct TraceChain {
    Q_TraceHandler handler = nullptr;
    void* user = nullptr;
};

// Detection and line quality through the SDK (the port is left closed).
// `reads` local reads measure the line.
std::vector<CheckResult> LineChecks(const std::string& port, int reads = 20, TraceChain chain = {});

// A plain-text report, the way qrvctl prints it (for "复制报告" too).
std::string ReportText(const std::string& port, const std::vector<CheckResult>& checks);

}  // namespace qrv::client
