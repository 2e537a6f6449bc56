// Scenario files: GBK names, every field through a save and a load, and the
// errors a hand-written file can contain.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "text/module_text.h"
#include "sim/scenario_json.h"

using namespace qrv::sim;

namespace {

bool SameBytes(const ModuleProperty& a, const ModuleProperty& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void ExpectSameModule(const ModuleConfig& a, const ModuleConfig& b) {
    EXPECT_TRUE(SameBytes(a.record, b.record));
    EXPECT_TRUE(SameBytes(a.factory, b.factory));
    EXPECT_EQ(a.appDevType, b.appDevType);
    EXPECT_EQ(a.upgradeVersion, b.upgradeVersion);
    EXPECT_EQ(a.io.present, b.io.present);
    EXPECT_EQ(a.io.directions, b.io.directions);
    EXPECT_EQ(a.io.outputs, b.io.outputs);
    EXPECT_EQ(a.io.inputs, b.io.inputs);
    EXPECT_EQ(a.io.loopback, b.io.loopback);
    EXPECT_EQ(a.io.adMillivolts, b.io.adMillivolts);
    EXPECT_EQ(a.io.adDrift, b.io.adDrift);
}

}  // namespace

TEST(ModuleText, ConvertsExactlyOrNotAtAll) {
    using namespace qrv::text;
    EXPECT_EQ(Utf8ToModuleText("本地主机"), std::optional<std::string>("\xB1\xBE\xB5\xD8\xD6\xF7\xBB\xFA"));
    EXPECT_EQ(ModuleTextToUtf8("\xCE\xDE\xCF\xDF\x49\x4F"), "无线IO");
    EXPECT_FALSE(Utf8ToModuleText("\xFF\xFE"));                          // not UTF-8
    EXPECT_FALSE(ConvertExact("\xB1", kModuleCodePage, "UTF-8"));        // half a character
    EXPECT_EQ(ModuleTextToUtf8("A\xB1"), "A\xEF\xBF\xBD");              // shown, not dropped
}

TEST(DefaultScenario, HasTheNetworkTheDemoNeeds) {
    const Scenario s = Scenario::Default();
    EXPECT_EQ(s.local.record.Channel, 11);
    EXPECT_EQ(s.local.record.AirRate, 0);
    EXPECT_EQ(s.local.record.WorkMode, 0);
    ASSERT_EQ(s.far.size(), 5u);
    EXPECT_EQ(qrv::text::ModuleTextToUtf8(TextField(s.local.record.DevName)), "本地主机");
    int bootModules = 0;
    for (const ModuleConfig& m : s.far) {
        EXPECT_NE(m.Address(), s.local.Address());
        if (m.record.RunState == 0x55) {
            ++bootModules;
            EXPECT_EQ(+m.record.DevType, 0);
        }
    }
    EXPECT_EQ(bootModules, 1);
}

TEST(ScenarioJson, DefaultNetworkSurvivesASaveAndALoad) {
    Scenario original = Scenario::Default();
    original.far[0].upgradeVersion = 0x0201;
    original.far[1].factory.Channel = 20;  // factory differs from the running record
    original.far[1].io.outputs = 0x09;
    original.baudMismatch = BaudMismatch::Junk;
    ASSERT_TRUE(SetTextField(original.far[2].record.DevName, "\xFF\x80"));  // not GBK: kept as raw bytes

    Scenario loaded;
    std::string error;
    ASSERT_TRUE(ParseScenario(ScenarioToJson(original), loaded, error)) << error;
    EXPECT_EQ(loaded.baudMismatch, BaudMismatch::Junk);
    ExpectSameModule(loaded.local, original.local);
    ASSERT_EQ(loaded.far.size(), original.far.size());
    for (std::size_t i = 0; i < original.far.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectSameModule(loaded.far[i], original.far[i]);
    }
}

TEST(ScenarioJson, FileRoundTripReplacesTheFile) {
    char dir[] = "/tmp/qrvsim-scenario-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/net.json";
    std::string error;
    ASSERT_TRUE(SaveScenarioFile(path, Scenario::Default(), error)) << error;
    Scenario loaded;
    ASSERT_TRUE(LoadScenarioFile(path, loaded, error)) << error;
    ExpectSameModule(loaded.far[4], Scenario::Default().far[4]);
    EXPECT_NE(access((path + ".tmp").c_str(), F_OK), 0);
    EXPECT_FALSE(LoadScenarioFile(std::string(dir) + "/missing.json", loaded, error));
    unlink(path.c_str());
    rmdir(dir);
}

TEST(ScenarioJson, SaveThroughALinkKeepsUnknownKeysFormsAndPermissions) {
    char dir[] = "/tmp/qrvsim-scenario-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string target = std::string(dir) + "/net.json", link = std::string(dir) + "/current.json";
    {
        std::ofstream out(target);
        out << R"({"comment": "bench 3", "local": {"address": "0x0001", "channel": "0x0B", "name": "Host",
                  "site": {"rack": 4}}, "far": [{"address": "0x0102", "note": "keep"}]})";
    }
    ASSERT_EQ(chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(symlink("net.json", link.c_str()), 0);
    std::string error;
    Scenario s;
    ASSERT_TRUE(LoadScenarioFile(link, s, error)) << error;
    std::strcpy(s.local.record.DevName, "Renamed");
    ASSERT_TRUE(SaveScenarioFile(link, s, error)) << error;

    char linkText[64] = {};
    ASSERT_GT(readlink(link.c_str(), linkText, sizeof linkText - 1), 0);
    EXPECT_STREQ(linkText, "net.json");  // still a link, to the updated file
    std::ifstream in(target);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* kept : {"\"comment\": \"bench 3\"", "\"rack\": 4", "\"note\": \"keep\"", "\"channel\": \"0x0B\"",
                             "\"name\": \"Renamed\""})
        EXPECT_NE(text.find(kept), std::string::npos) << kept << " in\n" << text;
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    Scenario reloaded;
    ASSERT_TRUE(LoadScenarioFile(target, reloaded, error)) << error;
    ExpectSameModule(reloaded.local, s.local);
    unlink(link.c_str());
    unlink(target.c_str());
    rmdir(dir);
}

TEST(ScenarioJson, MinimalModuleTakesTypicalValues) {
    Scenario s;
    std::string error;
    ASSERT_TRUE(ParseScenario(R"({"local": {"address": "0x0042", "name": "主站", "dev_type": 18},
                                  "far": [{"address": 7, "channel": "26", "air_rate": 2,
                                           "io": {"ad_mv": [1, 2, 3, "0x10"], "loopback": true}}]})",
                              s, error))
        << error;
    EXPECT_EQ(s.local.Address(), 0x0042);
    EXPECT_EQ(+s.local.record.DevType, 0x12);
    EXPECT_TRUE(s.local.io.present);
    EXPECT_EQ(s.local.record.UartBaud, 7);
    EXPECT_EQ(s.far.at(0).record.Channel, 26);
    EXPECT_FALSE(s.far[0].io.present);  // a point-to-point module by default
    EXPECT_EQ(s.far[0].io.adMillivolts[3], 16);
    EXPECT_TRUE(SameBytes(s.far[0].factory, s.far[0].record));
}

TEST(ScenarioJson, ReportsWhatIsWrong) {
    const struct {
        const char* json;
        const char* mentions;
    } rows[] = {
        {"{", "parse"},
        {R"({"far": []})", "local"},
        {R"({"local": {}})", "address"},
        {R"({"local": {"address": 70000}})", "address"},
        {R"({"local": {"address": -1}})", "address"},
        {R"({"local": {"address": "0x1G"}})", "address"},
        {R"({"local": {"address": 1, "name": "0123456789abcdef"}})", "name"},
        {R"({"local": {"address": 1, "io": {"ad_mv": [1, 2]}}})", "ad_mv"},
        {R"({"local": {"address": 1}, "far": {}})", "far"},
        {R"({"local": {"address": 1}, "baud_mismatch": "loud"})", "baud_mismatch"},
    };
    for (const auto& row : rows) {
        Scenario s;
        std::string error;
        EXPECT_FALSE(ParseScenario(row.json, s, error)) << row.json;
        EXPECT_NE(error.find(row.mentions), std::string::npos) << row.json << " -> " << error;
    }
}
