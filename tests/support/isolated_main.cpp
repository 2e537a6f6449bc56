// main() of every test program: the run gets a home of its own, so that no
// test reads or writes the real user's settings, simulator announcements or
// caches, whatever the code under test derives its paths from.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
    char pattern[] = "/tmp/qrv-test-home-XXXXXX";
    const char* home = mkdtemp(pattern);
    if (home == nullptr) {
        std::perror("qrv tests: cannot make a temporary home");
        return 1;
    }
    static constexpr struct {
        const char* variable;
        const char* folder;
    } kPlaces[] = {
        {"HOME", ""},
        {"XDG_CONFIG_HOME", "/config"},
        {"XDG_DATA_HOME", "/data"},
        {"XDG_CACHE_HOME", "/cache"},
        {"XDG_STATE_HOME", "/state"},
        {"XDG_RUNTIME_DIR", "/run"},
    };
    for (const auto& place : kPlaces) {
        const std::string path = std::string(home) + place.folder;
        mkdir(path.c_str(), 0700);
        setenv(place.variable, path.c_str(), 1);
    }
    testing::InitGoogleMock(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return result;
}
