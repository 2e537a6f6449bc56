// provision: a plan of modules written one after another, on one port or
// as a station per port, with the report as the ledger of the run.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "client/detect.h"
#include "client/port_list.h"
#include "client/provision_ledger.h"
#include "client/provision_plan.h"
#include "client/search_sweep.h"
#include "client/sdk_link.h"
#include "client/write_verify.h"
#include "qrvctl/command_support.h"
#include "qrvctl/exit_codes.h"
#include "qrvctl/interrupt.h"
#include "qrvctl/provision_output.h"

namespace qrvctl {

using namespace qrv::client;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kStationBaud = 115200;

struct Job {
    const ProvisionOptions& options;
    Plan plan;
    Profile shared;
    Ledger ledger;
};

Json FieldsOf(const Profile& wanted, const ModuleProperty& record) {
    Json fields = Json::object();
    for (const ProfileField& f : wanted.fields)
        if (f.field->id != FieldId::Password) fields[std::string(f.field->name)] = ValueJson(ReadField(record, *f.field));
    return fields;
}

// Read (done by the caller) -> compare -> write what differs -> restart ->
// read back -> verify, with one report record. `rowTaken` is false when no
// row was left for the module; nothing is recorded then. `addresses` gets
// the addresses the module may answer at afterwards.
Status ProvisionModule(Job& job, Connection& connection, ModuleAccess& module, const ModuleRecords& before,
                       Clock::time_point started, bool& rowTaken, std::vector<std::uint16_t>& addresses,
                       const Target& target = {}) {
    addresses = {before.base.NetAddr};
    const std::string& port = connection.line.port;
    std::optional<int> rowNumber;
    if (Status st = job.ledger.Claim(job.plan, before.base.NetAddr, port, rowNumber); !st.Ok()) return st;
    rowTaken = rowNumber.has_value();
    Json record{{"port", port}, {"module", IdentityJson(before.base)}};
    auto finish = [&](const Status& st, const std::string& result, bool wrote, Json after) {
        record["result"] = result;
        record["reason"] = st.Ok() ? Json(nullptr) : Json(st.message);
        record["wrote"] = wrote;
        record["after"] = after;
        record["duration"] = std::chrono::duration<double>(Clock::now() - started).count();
        if (Status written = job.ledger.Append(record); !written.Ok()) return written;
        if (!job.options.reportCsv.empty())
            if (Status written = AppendCsvRecord(job.options.reportCsv, record); !written.Ok()) return written;
        ShowOutcome(record, job.options.json);
        return st;
    };
    if (!rowNumber) {
        if (!job.plan.matchByAddress) return {};
        record["row"] = nullptr;
        return finish(Status::Fail(Outcome::Mismatch, "no plan row left for module " + Hex(before.base.NetAddr, 4)),
                      "failed", false, nullptr);
    }
    const PlanRow& row = job.plan.rows[static_cast<std::size_t>(*rowNumber - 1)];
    const Profile wanted = ProfileForRow(job.shared, row);
    record["row"] = row.number;
    record["before"] = FieldsOf(wanted, before.property);
    if (CompareProfile(wanted, before.property).empty())
        return finish({}, "unchanged", false, record["before"]);

    bool wrote = false;
    ChangeResult result;
    const Status st = ChangeModule(
        module, before, connection, target, job.options.password,
        [&](ModuleProperty& record_) {
            if (Status applied = ApplyProfile(wanted, record_); !applied.Ok()) return applied;
            addresses.push_back(record_.LocalAddr);
            // From here on the row counts as used, even if this run is cut off.
            Json mark{{"port", port}, {"row", row.number}, {"result", "writing"}};
            if (Status marked = job.ledger.Append(mark); !marked.Ok())
                return marked;
            wrote = true;
            return Status{};
        },
        result);
    const bool readBack = st.Ok() || st.outcome == Outcome::Mismatch;
    return finish(st, st.Ok() ? "written" : "failed", wrote, readBack ? FieldsOf(wanted, result.after.property) : Json(nullptr));
}

bool RowsLeft(Job& job) {
    LedgerState state;
    if (!job.ledger.State(state).Ok()) return false;
    for (const PlanRow& row : job.plan.rows)
        if (!state.used.count(row.number) && !state.held.count(row.number)) return true;
    return false;
}

// Waits `ms` in short steps, false when Ctrl-C came meanwhile.
bool Pause(int ms) {
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        if (StopOnInterrupt::Requested()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return !StopOnInterrupt::Requested();
}

// The jig on one port: wait for a module, provision it, wait until it is
// taken out, again until the plan is used up or Ctrl-C.
Status RunStation(Job& job, const CommonOptions& common, const std::string& port) {
    Connection connection;
    connection.line.port = port;
    connection.line.baud = common.baud > 0 ? common.baud : kStationBaud;
    connection.line.readTimeoutMs = common.timeoutMs > 0 ? common.timeoutMs : CommandReadTimeoutMs(connection.line.baud);
    const LineSettings home = connection.line;
    CollectSdkMessages();
    if (Status st = OpenPort(home); !st.Ok()) return st;
    Status last;
    while (RowsLeft(job)) {
        std::unique_ptr<ModuleAccess> module = LocalModule();
        ModuleRecords before;
        // A module being put into the jig hears one short read a poll.
        for (;;) {
            if (StopOnInterrupt::Requested()) return Status::Fail(Outcome::Interrupted, "stopped between modules on " + port);
            if (module->Read(before).Ok()) break;
            if (IsPortReason(LastSdkReason().code)) return SdkFailure("waiting for a module on " + port);
            if (!Pause(job.options.pollMs)) continue;
        }
        const Clock::time_point started = Clock::now();
        bool rowTaken = false;
        std::vector<std::uint16_t> addresses;
        const Status st = ProvisionModule(job, connection, *module, before, started, rowTaken, addresses);
        if (!rowTaken && !job.plan.matchByAddress) break;  // another station took the last row
        if (!st.Ok()) last = st;
        // Taken out when it no longer answers at the rate it now runs at, or
        // another module answers in its place.
        auto stillThere = [&] {
            return module->Read(before).Ok() &&
                   std::find(addresses.begin(), addresses.end(), before.base.NetAddr) != addresses.end();
        };
        while (stillThere())
            if (!Pause(job.options.pollMs)) return Status::Fail(Outcome::Interrupted, "stopped on " + port);
        if (connection.line.baud != home.baud || connection.line.parity != home.parity ||
            connection.line.dataBits != home.dataBits || connection.line.stopBits != home.stopBits) {
            connection.line = home;
            if (Status reopened = OpenPort(home); !reopened.Ok()) return reopened;
        }
    }
    return last;
}

Status RunOnce(Job& job, const CommonOptions& common, const std::string& port) {
    CommonOptions options = common;
    options.port = port;
    const Printer printer(options.json, options.quiet);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    ModuleRecords before;
    const Clock::time_point started = Clock::now();
    if (Status st = OpenAndRead(options, Target{}, printer, connection, module, before); !st.Ok()) return st;
    bool rowTaken = false;
    std::vector<std::uint16_t> addresses;
    const Status st = ProvisionModule(job, connection, *module, before, started, rowTaken, addresses);
    if (!rowTaken && !job.plan.matchByAddress) return Status::Fail(Outcome::Usage, "the plan is used up");
    return st;
}

// Far modules over the air from the local module on `port`: those the plan
// names by match-address, or those a search finds, on the local module's
// pair and on the pair the shared profile gives.
Status RunRemote(Job& job, const CommonOptions& common, const std::string& port) {
    CommonOptions options = common;
    options.port = port;
    const Printer printer(options.json, options.quiet);
    Connection connection;
    if (Status st = Connect(options, printer, connection); !st.Ok()) return st;
    LocalModuleInfo local;
    if (Status st = ReadLocalModule(local); !st.Ok()) return st;
    std::vector<RadioPair> pairs{local.Home()};
    ModuleProperty planned = local.property;
    if (ApplyProfile(job.shared, planned).Ok() && RadioPair{planned.Channel, planned.AirRate} != local.Home())
        pairs.push_back({planned.Channel, planned.AirRate});

    std::vector<std::uint16_t> addresses;
    if (job.plan.matchByAddress) {
        for (const PlanRow& row : job.plan.rows)
            if (row.matchAddress) addresses.push_back(*row.matchAddress);
    } else {
        SweepCallbacks callbacks;
        callbacks.stop = &StopOnInterrupt::Requested();
        callbacks.found = [&](const FoundModule& found) { addresses.push_back(found.base.NetAddr); };
        if (Status st = Sweep(pairs, std::nullopt, callbacks); !st.Ok()) return st;
        if (addresses.empty()) return Status::Fail(Outcome::NoAnswer, "no far module answered the search");
    }
    Status last;
    for (const std::uint16_t address : addresses) {
        if (StopOnInterrupt::Requested()) return Status::Fail(Outcome::Interrupted, "stopped between modules");
        if (!RowsLeft(job)) break;
        LedgerState state;
        if (job.plan.matchByAddress && job.ledger.State(state).Ok() && !NextRow(job.plan, state, address)) continue;
        const Clock::time_point started = Clock::now();
        std::unique_ptr<ModuleAccess> module;
        ModuleRecords before;
        Status st = FindFarModule(address, pairs, local, module);
        if (st.Ok()) st = module->Read(before);
        if (!st.Ok()) {
            printer.Note(st.message);
            last = st;
            continue;
        }
        Target target;
        target.address = Hex(address, 4);
        bool rowTaken = false;
        std::vector<std::uint16_t> ignored;
        if (st = ProvisionModule(job, connection, *module, before, started, rowTaken, ignored, target); !st.Ok())
            last = st;
    }
    return last;
}

Status RunPort(Job& job, const CommonOptions& common, const std::string& port) {
    if (job.options.remote) return RunRemote(job, common, port);
    return job.options.station ? RunStation(job, common, port) : RunOnce(job, common, port);
}

// One worker process a port: the SDK drives one port a process.
int RunWorkers(Job& job, const CommonOptions& common, const std::vector<std::string>& ports) {
    std::fflush(nullptr);
    std::vector<pid_t> workers;
    for (const std::string& port : ports) {
        const pid_t pid = fork();
        if (pid == 0) {
            // Out of the terminal's process group: Ctrl-C reaches the
            // workers once, from this process, so a second one cannot cut a
            // write short.
            setpgid(0, 0);
            const StopOnInterrupt stop;
            const int code = Finish(RunPort(job, common, port));
            std::fflush(nullptr);
            _exit(code);
        }
        if (pid < 0) {
            std::perror("qrvctl: fork");
            break;
        }
        workers.push_back(pid);
    }
    // Ctrl-C is passed on to the workers; each finishes its module.
    const StopOnInterrupt stop;
    bool passedOn = false;
    int worst = kExitOk;
    std::vector<bool> ended(workers.size(), false);
    for (std::size_t left = workers.size(); left > 0;) {
        if (StopOnInterrupt::Requested() && !passedOn) {
            for (std::size_t i = 0; i < workers.size(); ++i)
                if (!ended[i]) kill(workers[i], SIGINT);
            passedOn = true;
        }
        for (std::size_t i = 0; i < workers.size(); ++i) {
            int status = 0;
            if (ended[i] || waitpid(workers[i], &status, WNOHANG) != workers[i]) continue;
            ended[i] = true;
            --left;
            const int code = WIFEXITED(status) ? WEXITSTATUS(status) : ExitCodeFor(Outcome::Interrupted);
            if (worst == kExitOk) worst = code;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return worst;
}

}  // namespace

int RunProvision(const CommonOptions& common, const ProvisionOptions& options) {
    Job job{options, {}, {}, Ledger(options.report.empty() ? options.plan + ".report.jsonl" : options.report, NewRunId())};
    if (Status st = LoadPlan(options.plan, job.plan); !st.Ok()) return Finish(st);
    if (!options.profile.empty())
        if (Status st = LoadProfile(options.profile, job.shared); !st.Ok()) return Finish(st);
    for (const PlanRow& row : job.plan.rows) {
        ModuleProperty probe{};
        if (Status st = ApplyProfile(ProfileForRow(job.shared, row), probe); !st.Ok())
            return Finish(Status::Fail(Outcome::File, "plan row " + std::to_string(row.number) + ": " + st.message));
    }
    LedgerState state;
    if (Status st = job.ledger.State(state); !st.Ok()) return Finish(st);
    const Printer printer(common.json, common.quiet);
    for (const int row : state.cutMidWrite)
        printer.Note("plan row " + std::to_string(row) +
                     " was being written when an earlier run stopped: it is not used again; check that module");
    std::vector<std::string> ports;
    // The system is asked for its ports only when --port names them by kind.
    const bool byKind = std::any_of(options.ports.begin(), options.ports.end(),
                                    [](const std::string& p) { return p == "all" || p.rfind("serial:", 0) == 0; });
    if (Status st = SelectPorts(options.ports, byKind ? ListPorts() : std::vector<PortInfo>{}, ports); !st.Ok())
        return Finish(st);
    if (options.station && options.remote)
        return Finish(Status::Fail(Outcome::Usage, "--remote works from one local module: not with --station"));
    if (options.station && ports.empty() && common.port.empty())
        return Finish(Status::Fail(Outcome::Usage, "--station needs the jig's --port"));
    if (ports.size() > 1) return RunWorkers(job, common, ports);
    const StopOnInterrupt stop;
    return Finish(RunPort(job, common, ports.empty() ? common.port : ports.front()));
}

}  // namespace qrvctl
