// qrvctl: the module configuration from the command line, for scripts and
// production lines. Parses the command line and runs one command.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "client/fields.h"
#include "qrvctl/command_support.h"
#include "qrvlink/qrvlink.h"
#include "qrvctl/commands.h"
#include "qrvctl/console.h"
#include "qrvctl/exit_codes.h"
#include "qrvctl/prompts.h"
#include "qrvctl/trace_output.h"

namespace {

using namespace qrvctl;
using qrv::client::FieldKind;

void AddCommon(CLI::App* app, CommonOptions& o) {
    app->add_option("--port", o.port, "Serial port (default: the one port where a module answers)");
    app->add_option("--baud", o.baud, "Baud rate of the port (default: detected)")->check(CLI::PositiveNumber);
    app->add_option("--timeout", o.timeoutMs, "Read time-out in ms (default: matched to the rate)")->check(CLI::Range(1, 60000));
    app->add_flag("--json", o.json, "Output JSON");
    app->add_flag("-q,--quiet", o.quiet, "No notes or progress on standard error");
    app->add_flag("--trace", o.trace, "The frames on the line, decoded, on standard error");
    app->add_flag("--tolerant-reads", o.tolerantReads,
                  "Read answers that a USB adapter delivers in pieces (also QRVLINK_TOLERANT_READS=1)");
}

void AddWhere(CLI::App* app, WhereOptions& w, const char* what) {
    app->add_option("--channel", w.channels, std::string("Channel(s) to ") + what + " on, 6..30 (default: the local module's)")
        ->delimiter(',');
    app->add_option("--rate", w.rates, std::string("Air rate(s) to ") + what + " at: 250K, 500K, 1M (default: the local module's)")
        ->delimiter(',');
    app->add_flag("--all", w.all, std::string("Every channel and rate not given"));
}

// The fields and what they take, for `set --help` and `profile --help`.
std::string FieldHelp() {
    std::string text = "Fields:\n";
    for (const auto& f : qrv::client::AllFields()) {
        std::string values;
        if (f.kind == FieldKind::Number) values = std::to_string(f.min) + ".." + std::to_string(f.max);
        if (f.kind == FieldKind::Text) values = "text";
        for (const auto& c : f.choices) values += (values.empty() ? "" : ", ") + std::string(c.name);
        char line[256];
        std::snprintf(line, sizeof line, "  %-15s %s: %s\n", std::string(f.name).c_str(), std::string(f.about).c_str(), values.c_str());
        text += line;
    }
    return text + "Numbers are decimal or 0x-hexadecimal.\n";
}

std::optional<std::string> Given(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

// "monitor [OPTIONS] COMMAND ...": the command line from COMMAND on, the
// options given before it passed on to it; nothing when no command follows.
// Looked for before the parser sees the line: to it COMMAND would end
// monitor as a command of its own.
std::optional<std::vector<std::string>> MonitoredCommand(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "monitor") return std::nullopt;
    static const std::set<std::string> takeValue{"--port", "--baud", "--timeout", "--interval", "--count"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (takeValue.count(args[i]) != 0) {
            ++i;
            continue;
        }
        if (args[i].rfind('-', 0) == 0) continue;  // a flag, or --option=value
        std::vector<std::string> command(args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
        command.insert(command.end(), args.begin() + 1, args.begin() + static_cast<std::ptrdiff_t>(i));
        return command;
    }
    return std::nullopt;
}

// Parses `args` (without the program name) and runs the command. With
// `traffic` the SDK's frames go there whatever --trace says (monitor).
int RunCommandLine(std::vector<std::string> args, std::FILE* traffic) {
    if (const std::optional<std::vector<std::string>> command = MonitoredCommand(args)) {
        if (command->front() == "monitor") {
            std::fprintf(stderr, "qrvctl: monitor runs another command, not itself\n");
            return kExitUsage;
        }
        return RunCommandLine(*command, stdout);
    }
    CLI::App app{"Configures, searches and upgrades 2.4 GHz radio modules on a serial port.", "qrvctl"};
    app.require_subcommand(1);
    app.footer(std::string("\n") + kExitCodeHelp + "\nSee qrvctl(1).");
    app.set_version_flag("--version", "qrvctl " QRV_VERSION);

    CommonOptions common;
    Target target;
    std::string address, file, password, passwordFile, bits, directions;
    std::vector<std::string> assignments;
    bool yes = false, withPassword = false;
    int status = kExitOk;
    auto run = [&](CLI::App* sub, std::function<int()> command) {
        sub->callback([&status, &common, traffic, command] {
            std::optional<TraceSession> trace;
            if (traffic || common.trace) trace.emplace(traffic ? traffic : stderr);
            const JsonFailures failures(common.json);
            if (common.tolerantReads) Q_SetTolerantReads(1);
            status = command();
        });
    };
    // Runs `command` with the password from wherever it was given.
    auto withPasswordOf = [&](const std::function<int(std::optional<std::string>)>& command) {
        std::optional<std::string> given;
        if (Status st = PasswordFrom(password, passwordFile, given); !st.Ok()) return Finish(st);
        return command(given);
    };
    auto addPassword = [&](CLI::App* sub) {
        sub->add_option("--password", password, "The module's password (asked for on a terminal)");
        sub->add_option("--password-file", passwordFile, "Read the password from the first line of this file");
    };
    auto targetWith = [&] {
        Target t = target;
        t.address = Given(address);
        return t;
    };

    CLI::App* ports = app.add_subcommand("ports", "List serial ports: path, USB id, description, whether you may open it");
    AddCommon(ports, common);
    run(ports, [&] { return RunPorts(common); });

    CLI::App* detect = app.add_subcommand("detect", "Find the module: each port at each rate, fastest first");
    AddCommon(detect, common);
    run(detect, [&] { return RunDetect(common); });

#ifndef _WIN32
    CLI::App* doctor = app.add_subcommand("doctor", "Say what stands between you and the module, and what to do");
    bool fix = false;
    doctor->add_flag("--fix", fix, "As root: set an FTDI adapter's latency timer to 1 ms");
    doctor->add_option("--port", common.port, "Serial port (default: every USB adapter's)");
    doctor->add_flag("--json", common.json, "Output JSON");
    doctor->add_flag("-q,--quiet", common.quiet, "No notes on standard error");
    doctor->add_flag("--tolerant-reads", common.tolerantReads, "Measure the line with tolerant reads");
    run(doctor, [&] { return RunDoctor(common, fix); });
#endif

    CLI::App* info = app.add_subcommand("info", "Show the local module's identity and every field");
    info->add_flag("--show-password", common.showPassword, "Show the module's password");
    AddCommon(info, common);
    run(info, [&] { return RunInfo(common, targetWith()); });

    CLI::App* set = app.add_subcommand("set", "Write fields to the local module, then read back and verify");
    set->add_option("FIELD=VALUE", assignments, "Fields to write")->required();
    addPassword(set);
    set->add_flag("--show-password", common.showPassword, "Show the module's password");
    set->footer(FieldHelp());
    AddCommon(set, common);
    run(set, [&] {
        return withPasswordOf(
            [&](std::optional<std::string> given) { return RunSet(common, targetWith(), assignments, given); });
    });

    CLI::App* search = app.add_subcommand("search", "Search the radio network; Ctrl-C stops with the radio tuned home");
    search->add_option("--address", address, "Ask for one address only");
    AddWhere(search, target.where, "search");
    AddCommon(search, common);
    run(search, [&] { return RunSearch(common, target.where, Given(address)); });

    CLI::App* remote = app.add_subcommand("remote", "Work on a far module, found by its address");
    remote->add_option("ADDR", address, "The far module's address")->required();
    remote->require_subcommand(1);
    for (const char* name : {"info", "set", "reset", "factory-reset"}) {
        CLI::App* sub = remote->add_subcommand(name, std::string("As the local ") + name + ", on the far module");
        AddWhere(sub, target.where, "look for it");
        AddCommon(sub, common);
        const std::string command = name;
        if (command == "set") {
            sub->add_option("FIELD=VALUE", assignments, "Fields to write")->required();
            addPassword(sub);
            sub->footer(FieldHelp());
        }
        if (command == "info" || command == "set")
            sub->add_flag("--show-password", common.showPassword, "Show the module's password");
        if (command == "factory-reset") sub->add_flag("-y,--yes", yes, "Do not ask for confirmation");
        run(sub, [&, command] {
            if (command == "info") return RunInfo(common, targetWith());
            if (command == "set")
                return withPasswordOf(
                    [&](std::optional<std::string> given) { return RunSet(common, targetWith(), assignments, given); });
            if (command == "reset") return RunReset(common, targetWith());
            return RunFactoryReset(common, targetWith(), yes);
        });
    }

    CLI::App* io = app.add_subcommand("io", "Read the input lines or drive the output lines (bit 0 is line 1)");
    io->add_option("ADDR", address, "A far module's address (default: the local module)");
    io->require_subcommand(1);
    CLI::App* ioRead = io->add_subcommand("read", "Read the four input lines");
    AddWhere(ioRead, target.where, "look for ADDR");
    AddCommon(ioRead, common);
    run(ioRead, [&] { return RunIoRead(common, targetWith()); });
    CLI::App* ioWrite = io->add_subcommand("write", "Drive the four output lines");
    ioWrite->add_option("BITS", bits, "Output lines 0..15 (5, 0x5, 0b0101)")->required();
    ioWrite->add_option("--directions", directions, "Set the line directions first (0..15)");
    AddWhere(ioWrite, target.where, "look for ADDR");
    AddCommon(ioWrite, common);
    run(ioWrite, [&] { return RunIoWrite(common, targetWith(), bits, Given(directions)); });

    CLI::App* ad = app.add_subcommand("ad", "Read the four analogue inputs (mV)");
    ad->add_option("ADDR", address, "A far module's address (default: the local module)");
    AddWhere(ad, target.where, "look for ADDR");
    AddCommon(ad, common);
    run(ad, [&] { return RunAd(common, targetWith()); });

    CLI::App* reset = app.add_subcommand("reset", "Restart the local module");
    AddCommon(reset, common);
    run(reset, [&] { return RunReset(common, targetWith()); });

    CLI::App* factory = app.add_subcommand("factory-reset", "Restore the local module's factory settings");
    factory->add_flag("-y,--yes", yes, "Do not ask for confirmation");
    AddCommon(factory, common);
    run(factory, [&] { return RunFactoryReset(common, targetWith(), yes); });

    CLI::App* upgrade = app.add_subcommand("upgrade", "Replace a module's firmware from a .bin image");
    upgrade->add_option("FILE", file, "Firmware image")->required();
    upgrade->add_option("--address", address, "A far module's address (default: the local module)");
    AddWhere(upgrade, target.where, "look for it");
    AddCommon(upgrade, common);
    run(upgrade, [&] { return RunUpgrade(common, targetWith(), file); });

    CLI::App* profile = app.add_subcommand("profile", "Save, apply and compare configuration profiles (JSON)");
    profile->require_subcommand(1);
    profile->footer(FieldHelp());
    CLI::App* save = profile->add_subcommand("save", "Save a module's configuration as a profile");
    save->add_option("FILE", file, "Profile to write")->required();
    save->add_flag("--with-password", withPassword, "Include the module's password");
    CLI::App* apply = profile->add_subcommand("apply", "Write a profile to a module, read back and verify");
    apply->add_option("FILE", file, "Profile to read")->required();
    apply->add_option("--set", assignments, "FIELD=VALUE over the profile (one module's own address)");
    addPassword(apply);
    CLI::App* diff = profile->add_subcommand("diff", "Compare a module with a profile (exit 6 when they differ)");
    diff->add_option("FILE", file, "Profile to read")->required();
    diff->add_option("--set", assignments, "FIELD=VALUE over the profile, as given to apply");
    for (CLI::App* sub : {save, apply, diff}) {
        sub->add_option("--address", address, "A far module's address (default: the local module)");
        AddWhere(sub, target.where, "look for it");
        AddCommon(sub, common);
    }
    run(save, [&] { return RunProfileSave(common, targetWith(), file, withPassword); });
    run(apply, [&] {
        return withPasswordOf([&](std::optional<std::string> given) {
            return RunProfileApply(common, targetWith(), file, assignments, given);
        });
    });
    run(diff, [&] { return RunProfileDiff(common, targetWith(), file, assignments); });

#ifndef _WIN32
    // Stations are worker processes and the report a locked ledger: POSIX.
    CLI::App* provision = app.add_subcommand(
        "provision", "Write a plan of modules (CSV, one row a module), on one port or as a jig station per port");
    ProvisionOptions plan;
    provision->add_option("PLAN", plan.plan, "CSV: a header of field names (and match-address), a row a module")
        ->required();
    provision->add_option("--profile", plan.profile, "Profile with the fields every module shares");
    provision->add_option("--report", plan.report, "JSON-lines report, the ledger a rerun continues from "
                                                   "(default: PLAN.report.jsonl)");
    provision->add_option("--report-csv", plan.reportCsv, "Also append each module's record to this CSV");
    provision->add_flag("--station", plan.station, "Jig mode: wait for each module, provision it, wait until it is "
                                                   "taken out; until the plan is used up or Ctrl-C");
    provision->add_flag("--remote", plan.remote, "Far modules over the air from the local module: those named by "
                                                 "match-address, or those a search finds");
    provision->add_option("--poll", plan.pollMs, "Station: ms between two looks for a module")
        ->check(CLI::Range(20, 10000));
    provision->add_option("--password", password, "The modules' password, when they have one");
    provision->add_option("--port", plan.ports, "Port; several (or all, or serial:NUMBER) make one station each");
    provision->add_option("--baud", common.baud, "Baud rate of the port (default: detected; 115200 for a station)")
        ->check(CLI::PositiveNumber);
    provision->add_option("--timeout", common.timeoutMs, "Read time-out in ms (default: matched to the rate)")
        ->check(CLI::Range(1, 60000));
    provision->add_flag("--json", common.json, "Output each module's record as a JSON line");
    provision->add_flag("-q,--quiet", common.quiet, "No notes on standard error");
    provision->add_flag("--trace", common.trace, "The frames on the line, decoded, on standard error");
    run(provision, [&] {
        plan.password = Given(password);
        plan.json = common.json;
        return RunProvision(common, plan);
    });
#endif

    // monitor COMMAND... is run above, before the parser sees it.
    CLI::App* monitor = app.add_subcommand(
        "monitor", "Show the decoded traffic on standard output: of COMMAND, or of the local module read until Ctrl-C");
    int intervalMs = 1000, count = 0;
    monitor->footer("\nqrvctl monitor [OPTIONS] COMMAND [ARGS...] runs the command (any of the above) and shows its "
                    "traffic; the options before COMMAND are passed on to it.");
    monitor->add_option("--interval", intervalMs, "Without COMMAND: ms between reads of the local module")
        ->check(CLI::Range(10, 3600000));
    monitor->add_option("--count", count, "Without COMMAND: stop after this many reads (default: at Ctrl-C)")
        ->check(CLI::NonNegativeNumber);
    AddCommon(monitor, common);
    monitor->callback([&] {
        const TraceSession trace(stdout);
        if (common.tolerantReads) Q_SetTolerantReads(1);
        status = RunMonitor(common, intervalMs, count);
    });

    std::reverse(args.begin(), args.end());  // CLI11 takes them last first
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitOk : kExitUsage;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    qrvctl::PrepareConsole();
    return RunCommandLine(qrvctl::Utf8Arguments(argc, argv), nullptr);
}
