#include "qrvctl/connection.h"

#include <algorithm>
#include <cstdio>

#include "client/detect.h"
#include "client/port_list.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

std::string Join(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : ", ") + item;
    return text;
}

// The first line of a status: the facts without the hint.
std::string FirstLine(const std::string& message) { return message.substr(0, message.find('\n')); }

Status Detected(const CommonOptions& options, const Printer& printer, Connection& out) {
    std::vector<std::string> ports;
    // Ports that could not be looked at: the module meant may be behind one.
    std::vector<std::string> unexamined;
    if (!options.port.empty()) {
        ports.push_back(options.port);
    } else {
        for (const PortInfo& port : ListPorts()) {
            if (port.accessible)
                ports.push_back(port.path);
            else
                unexamined.push_back(port.path + ": no permission to open it");
        }
        if (ports.empty() && unexamined.empty())
            return Status::Fail(Outcome::Port, "no serial port this user can open; give one with --port");
    }
    std::vector<std::string> found;
    std::optional<Status> unusable;
    std::optional<Detection> only;
    std::size_t examined = ports.size();
    for (const PortScan& scan : Detect(ports)) {
        if (!scan.portFailure.Ok()) {
            unusable = scan.portFailure;
            if (!scan.found) {
                unexamined.push_back(FirstLine(scan.portFailure.message));
                --examined;
            }
        }
        if (!scan.found) continue;
        found.push_back(scan.port + " at " + std::to_string(scan.found->baud));
        only = scan.found;
    }
    // The one port given could not be used: say why.
    if (!options.port.empty() && !only && unusable) return *unusable;
    if (options.port.empty()) {
        for (const std::string& why : unexamined)
            std::fprintf(stderr, "qrvctl: warning: not examined: %s\n", why.c_str());
        if (examined == 0) return Status::Fail(Outcome::Port, "no serial port could be examined: " + Join(unexamined));
        if (!unexamined.empty() && options.writes)
            return Status::Fail(Outcome::Port, "not changing any module: " + std::to_string(unexamined.size()) +
                                                   " port(s) could not be examined and the module meant may be "
                                                   "there; free them or give --port");
    }
    if (found.size() > 1)
        return Status::Fail(Outcome::Usage, "modules answer on " + Join(found) + "; choose one with --port");
    if (!only)
        return Status::Fail(Outcome::NoAnswer,
                            "no module answered on " + Join(ports) + " at any rate from 460800 to 1200 baud");
    out.line.port = only->port;
    out.line.baud = only->baud;
    printer.Note("module found on " + only->port + " at " + std::to_string(only->baud) + " baud");
    return {};
}

}  // namespace

CommonOptions Writing(CommonOptions options) {
    options.writes = true;
    return options;
}

Status Connect(const CommonOptions& options, const Printer& printer, Connection& out) {
    CollectSdkMessages();
    out.line.port = options.port;
    out.line.baud = options.baud;
    if (options.port.empty() || options.baud == 0)
        if (Status st = Detected(options, printer, out); !st.Ok()) return st;
    out.line.readTimeoutMs = options.timeoutMs > 0 ? options.timeoutMs : CommandReadTimeoutMs(out.line.baud);
    return OpenPort(out.line);
}

Status ParseAddress(const std::string& text, std::uint16_t& out) {
    const std::optional<std::int64_t> value = ParseInteger(text);
    if (!value || *value < 0 || *value > 0xFFFF)
        return Status::Fail(Outcome::Usage, "\"" + text + "\" is not a module address (0..0xFFFF)");
    out = static_cast<std::uint16_t>(*value);
    return {};
}

Status ParseRate(const std::string& text, int& out) {
    FieldValue value;
    const FieldSpec& rate = FieldSpecOf(FieldId::AirRate);
    if (const std::optional<std::int64_t> n = ParseInteger(text); n && Q_FieldCheck(rate.index, *n)) {
        out = static_cast<int>(*n);
        return {};
    }
    if (Status st = ParseField(rate, text, value); !st.Ok()) return Status::Fail(Outcome::Usage, "--rate: " + st.message);
    for (const Choice& c : rate.choices)
        if (std::get<std::string>(value) == c.name) out = c.code;
    return {};
}

Status ResolvePairs(const WhereOptions& where, const RadioPair& home, std::vector<RadioPair>& out) {
    std::vector<int> channels = where.channels, rates;
    const FieldSpec& channel = FieldSpecOf(FieldId::Channel);
    for (int c : channels)
        if (!Q_FieldCheck(channel.index, c))
            return Status::Fail(Outcome::Usage, "--channel: " + std::to_string(c) + " is out of range " +
                                                    std::to_string(channel.min) + ".." + std::to_string(channel.max));
    for (const std::string& text : where.rates) {
        int rate = 0;
        if (Status st = ParseRate(text, rate); !st.Ok()) return st;
        rates.push_back(rate);
    }
    if (channels.empty()) {
        if (where.all)
            channels = AllChannels();
        else
            channels.push_back(home.channel);
    }
    if (rates.empty()) {
        if (where.all)
            rates = AllAirRates();
        else
            rates.push_back(home.rate);
    }
    out = SweepPairs(channels, rates);
    return {};
}

Status OpenModule(const std::optional<std::string>& address, const WhereOptions& where,
                  std::unique_ptr<ModuleAccess>& out) {
    if (!address) {
        out = LocalModule();
        return {};
    }
    std::uint16_t addr = 0;
    if (Status st = ParseAddress(*address, addr); !st.Ok()) return st;
    LocalModuleInfo local;
    if (Status st = ReadLocalModule(local); !st.Ok()) return st;
    std::vector<RadioPair> pairs;
    if (Status st = ResolvePairs(where, local.Home(), pairs); !st.Ok()) return st;
    return FindFarModule(addr, pairs, local, out);
}

Status FollowSerialSettings(const ModuleProperty& written, Connection& connection) {
    const FieldValue baud = ReadField(written, FieldSpecOf(FieldId::UartBaud));
    LineSettings line = connection.line;
    if (const auto* rate = std::get_if<std::int64_t>(&baud)) line.baud = static_cast<int>(*rate);
    line.dataBits = written.UartDataBits;
    // The record says "forced to 0" (3) and "forced to 1" (4); the port's
    // codes are 3 mark and 4 space.
    constexpr int kPortParity[] = {0, 1, 2, 4, 3};
    line.parity = written.UartParity < 5 ? kPortParity[written.UartParity] : 0;
    line.stopBits = written.UartStopBits == 2 ? 2 : 0;
    if (line.baud == connection.line.baud && line.dataBits == connection.line.dataBits &&
        line.parity == connection.line.parity && line.stopBits == connection.line.stopBits)
        return {};
    if (Status st = OpenPort(line); !st.Ok()) return st;
    connection.line = line;
    return {};
}

}  // namespace qrvctl
