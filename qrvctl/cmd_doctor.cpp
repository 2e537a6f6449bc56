// doctor: what stands between this user and the module, check by check.
#include <algorithm>
#include <cstdio>

#include "client/doctor.h"
#include "client/port_list.h"
#include "qrvctl/command_support.h"
#include "qrvctl/exit_codes.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

// The ports worth a look without --port: USB adapters and simulators;
// built-in ports only when there is nothing else.
std::vector<std::string> Candidates() {
    std::vector<std::string> usb, all;
    for (const PortInfo& p : ListPorts()) {
        all.push_back(p.path);
        if (p.usbVendor || p.simulated) usb.push_back(p.path);
    }
    return usb.empty() ? all : usb;
}

// The line can be tried only on a port that exists, may be opened and is free.
bool LineUsable(const std::vector<CheckResult>& checks) {
    return std::all_of(checks.begin(), checks.end(), [](const CheckResult& c) {
        return !(c.id == "port" || c.id == "permission" || c.id == "held") || c.verdict != CheckVerdict::Fail;
    });
}

int ExitCodeOf(const CheckResult& c) {
    if (c.id == "port" || c.id == "permission" || c.id == "held") return kExitPort;
    if (c.id == "detection") return kExitNoAnswer;
    return kExitFailure;
}

Json CheckJson(const CheckResult& c) {
    Json facts = Json::object();
    for (const auto& [key, value] : c.facts) facts[key] = value;
    return Json{{"id", c.id}, {"verdict", VerdictName(c.verdict)}, {"outcome", c.outcome},
                {"found", c.found}, {"advice", c.advice}, {"facts", facts}};
}

}  // namespace

int RunDoctor(const CommonOptions& options, bool fix) {
    const Printer printer(options.json, options.quiet);
    const std::vector<std::string> ports = options.port.empty() ? Candidates() : std::vector<std::string>{options.port};
    if (ports.empty()) {
        if (printer.Json()) printer.Document(Json::array());
        return Finish(Status::Fail(Outcome::Port,
                                   "no serial port found: plug the adapter in; if it vanishes at once, brltty may "
                                   "take it (see qrvctl(1), TROUBLESHOOTING); sudo dmesg | tail shows why"));
    }
    DoctorSetup setup = RealSetup();
    setup.fix = fix;
    Json reports = Json::array();
    int status = kExitOk;
    for (const std::string& port : ports) {
        std::vector<CheckResult> checks = SystemChecks(port, setup);
        if (LineUsable(checks)) {
            printer.Note("reading the module on " + port + " (about 10 s)");
            for (CheckResult& c : LineChecks(port)) checks.push_back(std::move(c));
        } else {
            checks.push_back({"detection", CheckVerdict::Skip, "port-unusable", {}, "the port cannot be used (see above)", {}});
        }
        for (const CheckResult& c : checks)
            if (c.verdict == CheckVerdict::Fail && status == kExitOk) status = ExitCodeOf(c);
        if (printer.Json()) {
            Json list = Json::array();
            for (const CheckResult& c : checks) list.push_back(CheckJson(c));
            reports.push_back(Json{{"port", port}, {"checks", list}});
        } else {
            std::fputs(ReportText(port, checks).c_str(), stdout);
        }
    }
    if (printer.Json()) printer.Document(reports);
    return status;
}

}  // namespace qrvctl
