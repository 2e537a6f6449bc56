// Every command against the simulated default network, in table form and
// as JSON (parsed and checked by field).
#include <cstdio>
#include <fstream>
#include <set>
#include <functional>
#include <sstream>

#include "sim_qrvctl_fixture.h"

namespace qrvctl::testing {
namespace {

struct CommandRow {
    const char* name;
    std::vector<std::string> args;
    const char* tableShows;                   // a fragment of the table output
    std::function<void(const Json&)> check;  // on the --json output
};

void PrintTo(const CommandRow& row, std::ostream* os) { *os << row.name; }

// Search prints one JSON object per line.
Json JsonLines(const std::string& text) {
    Json lines = Json::array();
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(Json::parse(line));
    return lines;
}

std::string FirmwareImage() {
    // Two blocks of the second region at 0x0800; version 16.
    const std::string path = ::testing::TempDir() + "qrvctl-image.bin";
    std::ofstream file(path, std::ios::binary);
    const std::int32_t header[5] = {0, 0, 0x0800, 0x0880, 16};
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    for (int i = 0; i < 128; ++i) file.put(static_cast<char>(i));
    return path;
}

const CommandRow kRows[] = {
    {"detect",
     {"detect"},
     "本地主机",
     [](const Json& j) {
         ASSERT_EQ(j.size(), 1u);
         EXPECT_EQ(j[0]["baud"], 115200);
         EXPECT_EQ(j[0]["identity"]["address"], 1);
         EXPECT_EQ(j[0]["name"], "本地主机");
     }},
    {"info",
     {"info"},
     "channel           11 (2405 MHz)",
     [](const Json& j) {
         EXPECT_EQ(j["baud"], 115200);
         EXPECT_EQ(j["identity"]["device-type"], "vlx-io");
         EXPECT_EQ(j["identity"]["firmware-version"], "V2.05");
         EXPECT_EQ(j["fields"]["name"], "本地主机");
         EXPECT_EQ(j["fields"]["channel"], 11);
         EXPECT_EQ(j["fields"]["air-rate"], "250K");
         EXPECT_EQ(j["fields"]["tx-power"], 8);
         EXPECT_EQ(j["fields"]["uart-baud"], 115200);
         EXPECT_EQ(j["fields"]["dest-address"], 0xFFFF);
         EXPECT_EQ(j["fields"].size(), 16u);
         EXPECT_FALSE(j["fields"].contains("password")) << "shown only with --show-password";
     }},
    {"set",
     {"set", "name=车间-07", "channel=20", "tx-power=-5dBm", "--password", "123456"},
     "tx-power          -5 dBm",
     [](const Json& j) {
         EXPECT_EQ(j["fields"]["name"], "车间-07");
         EXPECT_EQ(j["fields"]["channel"], 20);
         EXPECT_EQ(j["fields"]["tx-power"], -5);
     }},
    {"search",
     {"search"},
     "0x0203   vlx-io",
     [](const Json& j) {
         std::set<int> addresses;
         for (const Json& m : j) addresses.insert(m["address"].get<int>());
         EXPECT_EQ(addresses, (std::set<int>{0x0102, 0x0203, 0x0506}));
         EXPECT_EQ(j[0]["air-rate"], "250K");
     }},
    {"remote info",
     {"remote", "0x0304", "info", "--channel", "26", "--rate", "1M"},
     "korvanet",
     [](const Json& j) {
         EXPECT_EQ(j["identity"]["address"], 0x0304);
         EXPECT_EQ(j["fields"]["work-mode"], "terminal-relay");
     }},
    {"remote set",
     {"remote", "0x0102", "set", "retry-count=5", "--password", "123456"},
     "retry-count       5",
     [](const Json& j) { EXPECT_EQ(j["fields"]["retry-count"], 5); }},
    {"remote reset", {"remote", "0x0102", "reset"}, "", [](const Json& j) { EXPECT_EQ(j["reset"], true); }},
    {"remote factory-reset",
     {"remote", "0x0102", "factory-reset", "--yes"},
     "",
     [](const Json& j) { EXPECT_EQ(j["factory-reset"], true); }},
    {"io read",
     {"io", "read"},
     "inputs  1=0 2=0 3=0 4=0",
     [](const Json& j) {
         EXPECT_EQ(j["lines"], Json::array({false, false, false, false}));
     }},
    {"io write",
     {"io", "0x0203", "write", "0b0101"},
     "outputs  1=1 2=0 3=1 4=0",
     [](const Json& j) {
         EXPECT_EQ(j["outputs"], 5);
         EXPECT_EQ(j["address"], 0x0203);
     }},
    {"ad",
     {"ad", "0x0405", "--channel", "15", "--rate", "500K"},
     "ad1",
     [](const Json& j) {
         EXPECT_NEAR(j["ad-mv"][1].get<int>(), 1875, 20);
         EXPECT_EQ(j["address"], 0x0405);
     }},
    {"reset",
     {"reset"},
     "",
     [](const Json& j) {
         EXPECT_EQ(j["module"], "local module");
         EXPECT_EQ(j["address"], 1);
     }},
    {"factory-reset", {"factory-reset", "--yes"}, "", [](const Json& j) { EXPECT_EQ(j["factory-reset"], true); }},
    {"upgrade",
     {"upgrade", FirmwareImage(), "--address", "0x0506"},
     "upgraded: firmware V1.01",
     [](const Json& j) {
         EXPECT_EQ(j["blocks"], 2);
         EXPECT_EQ(j["address"], 0x0506);
     }},
};

class EveryCommand : public SimulatedModules, public ::testing::WithParamInterface<CommandRow> {};

TEST_P(EveryCommand, AnswersInTableAndJson) {
    const CommandRow& row = GetParam();
    const Outcome table = Run(row.args);
    EXPECT_EQ(table.exit, 0) << table.err;
    EXPECT_NE(table.out.find(row.tableShows), std::string::npos) << table.out;

    std::vector<std::string> args = row.args;
    args.emplace_back("--json");
    const Outcome json = Run(args);
    ASSERT_EQ(json.exit, 0) << json.err;
    const std::string name = row.name;
    row.check(name == "search" ? JsonLines(json.out) : Json::parse(json.out));
    // Whatever the command did over the air, the local radio is back home.
    const ModuleProperty local = sim_->Module(0).config.record;
    EXPECT_EQ(sim_->TunedPair(), (std::pair<std::uint8_t, std::uint8_t>{local.Channel, local.AirRate}));
}

INSTANTIATE_TEST_SUITE_P(Qrvctl, EveryCommand, ::testing::ValuesIn(kRows), [](const auto& param) {
    std::string name = param.param.name;
    for (char& c : name)
        if (c == ' ' || c == '-') c = '_';
    return name;
});

TEST_F(SimulatedModules, BadValueIsRefusedBeforeAnythingIsSent) {
    const struct {
        std::vector<std::string> args;
        const char* names;
    } rows[] = {
        {{"set", "channel=11", "air-rate=2M"}, "air-rate"},
        {{"set", "channel=31"}, "channel"},
        {{"set", "name=这个名字太长了超过十五个字节"}, "name"},
        {{"set", "colour=red"}, "colour"},
        {{"remote", "0x0102", "set", "uart-parity=odd", "uart-data-bits=9"}, "uart-data-bits"},
    };
    for (const auto& row : rows) {
        sim_->ClearLog();
        const Outcome outcome = Run(row.args);
        EXPECT_EQ(outcome.exit, 2) << row.names;
        EXPECT_NE(outcome.err.find(row.names), std::string::npos) << outcome.err;
        EXPECT_EQ(Requests(), 0u) << row.names;
    }
}

// The far commands make only the exchanges they need: on the local pair no
// tuning at all, elsewhere one there and one home; the radio ends at home.
TEST_F(SimulatedModules, FarCommandsSendOnlyTheFramesTheyNeed) {
    const struct {
        std::vector<std::string> args;
        std::string frames;
    } rows[] = {
        {{"remote", "0x0102", "set", "retry-count=5", "--password", "123456"}, "D1 D2 D6 D2 D3 D7 D2"},
        {{"remote", "0x0102", "factory-reset", "--yes"}, "D1 D2 D6 DB D7"},
        {{"io", "0x0203", "read"}, "D1 D2 D6 io-D6"},
        // Found on its own pair: the search tunes there and home, the read
        // there again, and the command home at its end.
        {{"remote", "0x0304", "info", "--channel", "26", "--rate", "1M"}, "D1 D2 D4 D6 D4 D4 D2 D4"},
    };
    for (const auto& row : rows) {
        sim_->ClearLog();
        const Outcome outcome = Run(row.args);
        EXPECT_EQ(outcome.exit, 0) << outcome.err;
        std::string frames;
        for (const auto& e : sim_->Log()) {
            if (e.kind != qrv::sim::LogKind::Request || !e.command) continue;
            const bool io = e.command->family == qrv::protocol::Family::Io;
            char code[8];
            std::snprintf(code, sizeof code, "%s%02X", io ? "io-" : "", e.command->code);
            frames += (frames.empty() ? "" : " ") + std::string(code);
        }
        EXPECT_EQ(frames, row.frames) << row.args[0] << " " << row.args[1];
        EXPECT_EQ(sim_->TunedPair(), (std::pair<std::uint8_t, std::uint8_t>{11, 0}));
    }
}

TEST_F(SimulatedModules, WriteTheModuleDoesNotKeepFailsVerification) {
    sim_->AddFault({qrv::sim::FaultKind::Forget, std::nullopt, 1.0, -1});
    const Outcome outcome = Run({"set", "channel=20", "--password", "123456", "--json"});
    EXPECT_EQ(outcome.exit, 6) << outcome.err;
    EXPECT_NE(outcome.err.find("channel"), std::string::npos) << outcome.err;
    EXPECT_EQ(Json::parse(outcome.out)["fields"]["channel"], 11);  // what the module reports
}

TEST_F(SimulatedModules, WrongPasswordWritesNothing) {
    const Outcome outcome = Run({"set", "channel=20", "--password", "654321"});
    EXPECT_EQ(outcome.exit, 5);
    EXPECT_EQ(sim_->Module(0).config.record.Channel, 11);
    EXPECT_EQ(Run({"set", "channel=20"}).exit, 2);  // no terminal to ask on
}

TEST_F(SimulatedModules, ProfileSavedFromOneModuleAppliesToAnotherWithItsOwnAddress) {
    const std::string file = ::testing::TempDir() + "qrvctl-line.json";
    ASSERT_EQ(Run({"profile", "save", file, "--address", "0x0102"}).exit, 0);
    const Json saved = Json::parse(std::ifstream(file));
    EXPECT_EQ(saved["version"], 1);
    EXPECT_FALSE(saved["fields"].contains("password"));

    const std::vector<std::string> own{"--address", "0x0203", "--set", "local-address=0x0203"};
    auto with = [&own](std::vector<std::string> args) {
        args.insert(args.end(), own.begin(), own.end());
        return args;
    };
    EXPECT_EQ(Run(with({"profile", "diff", file})).exit, 6);  // the names differ
    const Outcome applied = Run(with({"profile", "apply", file, "--password", "123456", "--json"}));
    ASSERT_EQ(applied.exit, 0) << applied.err;
    EXPECT_EQ(Json::parse(applied.out)["verified"], true);
    const Outcome diff = Run(with({"profile", "diff", file, "--json"}));
    EXPECT_EQ(diff.exit, 0) << diff.err;
    EXPECT_TRUE(Json::parse(diff.out)["differences"].empty());
    EXPECT_STREQ(sim_->Module(*sim_->FindModule(0x0203)).config.record.DevName, "P2P-Node-A");
}

TEST(QrvctlCommandLine, HelpOnEveryCommandAndUsageErrors) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"set", "--help"}, {"remote", "1", "info", "--help"}, {"profile", "apply", "--help"}}) {
        const Outcome outcome = RunQrvctl(args);
        EXPECT_EQ(outcome.exit, 0) << args[0];
        EXPECT_NE(outcome.out.find("Usage"), std::string::npos);
    }
    EXPECT_NE(RunQrvctl({"--help"}).out.find("130  stopped with Ctrl-C"), std::string::npos);
    EXPECT_EQ(RunQrvctl({}).exit, 2);
    EXPECT_EQ(RunQrvctl({"info", "--bogus"}).exit, 2);
    EXPECT_EQ(RunQrvctl({"info", "--port", "/dev/qrv-no-such-port", "--baud", "9600"}).exit, 3);
}

}  // namespace
}  // namespace qrvctl::testing
