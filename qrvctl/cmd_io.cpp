// io read|write and ad, on the local module or a far one.
#include "qrvctl/command_support.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

// Four lines, bit 0 is line 1: a number 0..15 ("5", "0x5", "0b0101").
Status ParseLines(const std::string& what, const std::string& text, std::uint8_t& out) {
    std::optional<std::int64_t> value;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
        std::int64_t bits = 0;
        for (std::size_t i = 2; i < text.size(); ++i) {
            if (text[i] != '0' && text[i] != '1') return Status::Fail(Outcome::Usage, what + ": \"" + text + "\" is not binary");
            bits = bits * 2 + (text[i] - '0');
        }
        value = bits;
    } else {
        value = ParseInteger(text);
    }
    if (!value || *value < 0 || *value > 0x0F)
        return Status::Fail(Outcome::Usage, what + ": \"" + text + "\" is not 0..15 (bit 0 is line 1)");
    out = static_cast<std::uint8_t>(*value);
    return {};
}

Json LineStates(std::uint8_t lines) {
    Json states = Json::array();
    for (int bit = 0; bit < 4; ++bit) states.push_back(((lines >> bit) & 1) != 0);
    return states;
}

std::string LineText(std::uint8_t lines) {
    std::string text;
    for (int bit = 0; bit < 4; ++bit) text += (bit ? " " : "") + std::to_string(bit + 1) + "=" + std::to_string((lines >> bit) & 1);
    return text;
}

}  // namespace

int RunIoRead(const CommonOptions& options, const Target& target) {
    const Printer printer(options.json, options.quiet);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    if (Status st = Open(options, target, printer, connection, module); !st.Ok()) return Finish(st);
    std::uint8_t lines = 0;
    if (Status st = module->ReadInputs(lines); !st.Ok()) return Finish(st);
    if (printer.Json()) {
        Json json = ModuleJson(*module);
        json["inputs"] = lines;
        json["lines"] = LineStates(lines);
        printer.Document(json);
    } else {
        printer.Lines({{"inputs", LineText(lines)}});
    }
    return Finish({});
}

int RunIoWrite(const CommonOptions& options, const Target& target, const std::string& bits,
               const std::optional<std::string>& directions) {
    const Printer printer(options.json, options.quiet);
    std::uint8_t outputs = 0, dirs = 0;
    if (Status st = ParseLines("BITS", bits, outputs); !st.Ok()) return Finish(st);
    if (directions)
        if (Status st = ParseLines("--directions", *directions, dirs); !st.Ok()) return Finish(st);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    if (Status st = Open(options, target, printer, connection, module); !st.Ok()) return Finish(st);
    if (directions)
        if (Status st = module->SetDirections(dirs); !st.Ok()) return Finish(st);
    if (Status st = module->WriteOutputs(outputs); !st.Ok()) return Finish(st);
    if (printer.Json()) {
        Json json = ModuleJson(*module);
        json["outputs"] = outputs;
        json["lines"] = LineStates(outputs);
        printer.Document(json);
    } else {
        printer.Lines({{"outputs", LineText(outputs)}});
    }
    return Finish({});
}

int RunAd(const CommonOptions& options, const Target& target) {
    const Printer printer(options.json, options.quiet);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    if (Status st = Open(options, target, printer, connection, module); !st.Ok()) return Finish(st);
    AdMillivolts values{};
    if (Status st = module->ReadAd(values); !st.Ok()) return Finish(st);
    if (printer.Json()) {
        Json json = ModuleJson(*module);
        json["ad-mv"] = values;
        printer.Document(json);
        return Finish({});
    }
    std::vector<ReportLine> lines;
    for (std::size_t i = 0; i < values.size(); ++i) lines.push_back({"ad" + std::to_string(i + 1), std::to_string(values[i]) + " mV"});
    printer.Lines(lines);
    return Finish({});
}

}  // namespace qrvctl
