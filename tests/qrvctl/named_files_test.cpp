// Files a user or the environment names, as an attacker of our own inputs
// would name them: FIFOs without a peer, devices that never end, files too
// large, profiles with values no field can hold. Nothing may hang, swell or
// echo a huge value back.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "client/firmware_file.h"
#include "client/profile.h"
#include "qrvctl_process.h"
#include "sim/scenario_json.h"
#include "text/user_file.h"

namespace qrv::client {
namespace {

namespace fs = std::filesystem;

// Its own HOME and XDG_CONFIG_HOME, and a folder holding a FIFO nobody opens.
class NamedFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::path(::testing::TempDir()) / "qrv-named-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        setenv("HOME", dir_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
        fifo_ = (dir_ / "fifo").string();
        ASSERT_EQ(mkfifo(fifo_.c_str(), 0600), 0);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path dir_;
    std::string fifo_;
};

TEST_F(NamedFiles, OnlyRegularFilesAreReadAndNeverBeyondTheCap) {
    const std::string big = Write("big", std::string(text::kUserFileLimit + 1, 'x'));
    const std::string exact = Write("exact", std::string(text::kUserFileLimit, 'x'));
    const struct {
        std::string path;
        const char* says;  // nullptr: read
    } rows[] = {
        {fifo_, "is a FIFO"},
        {"/dev/zero", "is a character device"},
        {dir_.string(), "is a directory"},
        {(dir_ / "missing").string(), "No such file"},
        {big, "larger than 1 MiB"},
        {exact, nullptr},
    };
    for (const auto& row : rows) {
        const auto start = std::chrono::steady_clock::now();
        std::string bytes, problem;
        const bool read = text::ReadUserFile(row.path, bytes, problem);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << row.path;
        EXPECT_EQ(read, row.says == nullptr) << row.path;
        if (!row.says) continue;
        EXPECT_EQ(problem.rfind(row.path + ": ", 0), 0u) << problem;
        EXPECT_NE(problem.find(row.says), std::string::npos) << problem;
    }
    // The system's reason for a file that is there but closed to us (root reads it anyway).
    const std::string closed = Write("closed", "{}");
    chmod(closed.c_str(), 0);
    std::string bytes, problem;
    if (geteuid() != 0) {
        EXPECT_FALSE(text::ReadUserFile(closed, bytes, problem));
        EXPECT_NE(problem.find("Permission denied"), std::string::npos) << problem;
    }
}

TEST_F(NamedFiles, ProfilesScenariosAndImagesRefuseAFifoAtOnce) {
    Profile profile;
    Status st = LoadProfile(fifo_, profile);
    EXPECT_NE(st.message.find("FIFO"), std::string::npos) << st.message;
    FirmwareFile image;
    st = CheckFirmwareFile(fifo_, image);
    EXPECT_NE(st.message.find("FIFO"), std::string::npos) << st.message;
    sim::Scenario scenario;
    std::string error;
    EXPECT_FALSE(sim::LoadScenarioFile(fifo_, scenario, error));
    EXPECT_NE(error.find("FIFO"), std::string::npos) << error;
    EXPECT_FALSE(sim::SaveScenarioFile("/dev/null", scenario, error));
    EXPECT_NE(error.find("character device"), std::string::npos) << error;
    EXPECT_FALSE(SaveProfile("/dev/null", profile).Ok());
}

std::string ProfileWith(const std::string& fields) {
    return R"({"format": "qrvlink-profile", "version": 1, "fields": {)" + fields + "}}";
}

TEST(ProfileText, EachFaultIsNamedAsWhatItIs) {
    const struct {
        std::string json;
        const char* says;
    } rows[] = {
        {R"({"format": "qrvlink-profile", "version": 1, "fields": {"channel": 11)", "line 1, column"},
        {"{\"format\": \"qrvlink-profile\",\n \"version\": 1, \"fields\": {\"name\": \"a\xff\"}}", "UTF-8"},
        {"[]", "array, not a JSON object"},
        {R"({"format": 1, "version": 1, "fields": {"channel": 11}})", "\"format\" must be"},
        {R"({"format": "qrvlink-profile", "version": 1.5, "fields": {"channel": 11}})", "whole number"},
        {ProfileWith(""), "\"fields\" is empty"},
        {ProfileWith(R"("channel": 1e400)"), "overflow"},
        {ProfileWith(R"("channel": 18446744073709551616)"), "out of range"},
        {ProfileWith(R"("channel": 18446744073709551615)"), "out of range"},
        {ProfileWith(R"("channel": 1e20)"), "out of range"},
        {ProfileWith(R"("channel": 11.5)"), "not a whole number"},
        {ProfileWith(R"("channel": [11])"), "found array"},
        {ProfileWith(R"("name": ")" + std::string(2'000'000, 'n') + "\""), "bytes)"},
        {ProfileWith("\"" + std::string(100'000, 'f') + "\": 1"), "is not a field name"},
    };
    for (const auto& row : rows) {
        Profile profile;
        const Status st = ProfileFromJson(row.json, profile);
        EXPECT_FALSE(st.Ok());
        EXPECT_NE(st.message.find(row.says), std::string::npos) << st.message.substr(0, 300);
        EXPECT_LT(st.message.size(), 1000u) << row.says;
    }
    Profile profile;
    ASSERT_TRUE(ProfileFromJson(ProfileWith(R"("channel": 11.0)"), profile).Ok());
    EXPECT_EQ(std::get<std::int64_t>(profile.fields.at(0).value), 11);
}

// The library opens its trace target while it loads: a FIFO nobody reads
// must neither hold the program nor stop it.
TEST_F(NamedFiles, ATraceTargetThatCannotBeWrittenIsSaidOnceAndIgnored) {
    for (const std::string& target : {fifo_, dir_.string()}) {
        setenv("QRVLINK_TRACE", target.c_str(), 1);
        qrvctl::testing::QrvctlProcess process({"--version"}, "/nonexistent");
        unsetenv("QRVLINK_TRACE");
        const auto outcome = process.Wait(std::chrono::seconds(10));
        EXPECT_EQ(outcome.exit, 0) << target;
        EXPECT_NE(outcome.out.find("qrvctl"), std::string::npos);
        EXPECT_NE(outcome.err.find("QRVLINK_TRACE: cannot write to " + target), std::string::npos) << outcome.err;
    }
}

}  // namespace
}  // namespace qrv::client
