// search: pairs swept one at a time, each module printed when it answers,
// a progress line on the terminal, and Ctrl-C honoured between pairs.
#include "client/search_sweep.h"
#include "qrvctl/command_support.h"
#include "qrvctl/interrupt.h"
#include "qrvctl/progress_line.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

std::string RateName(int rate) { return std::string(FieldSpecOf(FieldId::AirRate).choices[static_cast<std::size_t>(rate)].name); }

}  // namespace

int RunSearch(const CommonOptions& options, const WhereOptions& where, const std::optional<std::string>& address) {
    const Printer printer(options.json, options.quiet);
    std::optional<std::uint16_t> wanted;
    if (address) {
        std::uint16_t addr = 0;
        if (Status st = ParseAddress(*address, addr); !st.Ok()) return Finish(st);
        wanted = addr;
    }
    Connection connection;
    if (Status st = Connect(options, printer, connection); !st.Ok()) return Finish(st);
    LocalModuleInfo local;
    if (Status st = ReadLocalModule(local); !st.Ok()) return Finish(st);
    std::vector<RadioPair> pairs;
    if (Status st = ResolvePairs(where, local.Home(), pairs); !st.Ok()) return Finish(st);

    ProgressLine progress(options.quiet);
    std::vector<std::vector<std::string>> rows;
    if (!printer.Json()) printer.Text("ADDRESS  TYPE      RUN-STATE  CHANNEL  RATE");
    SweepCallbacks callbacks;
    callbacks.found = [&](const FoundModule& m) {
        progress.Clear();
        if (printer.Json()) {
            printer.JsonLine(Json{{"address", m.base.NetAddr},
                                  {"device-type", DeviceTypeName(m.base.DevType)},
                                  {"run-state", RunStateName(m.base.RunState)},
                                  {"channel", m.pair.channel},
                                  {"air-rate", RateName(m.pair.rate)}});
        } else {
            char line[96];
            std::snprintf(line, sizeof line, "%-7s  %-8s  %-9s  %-7d  %s", Hex(m.base.NetAddr, 4).c_str(),
                          DeviceTypeName(m.base.DevType).c_str(), RunStateName(m.base.RunState).c_str(), m.pair.channel,
                          RateName(m.pair.rate).c_str());
            printer.Text(line);
        }
    };
    std::size_t found = 0, searched = 0;
    callbacks.progress = [&](const SweepProgress& p) {
        found = p.found;
        searched = p.pair;
        if (p.pair < p.pairs)
            progress.Show("pair " + std::to_string(p.pair + 1) + " of " + std::to_string(p.pairs) + " (channel " +
                          std::to_string(pairs[p.pair].channel) + ", " + RateName(pairs[p.pair].rate) + "), " +
                          std::to_string(p.found) + " found, about " + Duration(p.left) + " left");
    };

    Status st;
    {
        // The first Ctrl-C lets the pair in progress finish: the SDK tunes
        // the radio home at the end of each search.
        StopOnInterrupt interrupt;
        callbacks.stop = &StopOnInterrupt::Requested();
        st = Sweep(pairs, wanted, callbacks);
    }
    progress.Clear();
    if (st.outcome == Outcome::Interrupted) {
        st.message = "search stopped after " + std::to_string(searched) + " of " + std::to_string(pairs.size()) +
                     " pairs; the radio is back on channel " + std::to_string(local.Home().channel) + ", " +
                     RateName(local.Home().rate);
        return Finish(st);
    }
    if (!st.Ok()) return Finish(st);
    printer.Note(std::to_string(found) + " module(s) found on " + std::to_string(pairs.size()) + " pair(s)");
    if (found == 0) return Finish(Status::Fail(Outcome::NoAnswer, "no module answered the search"));
    return Finish({});
}

}  // namespace qrvctl
