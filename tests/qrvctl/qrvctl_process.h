// qrvctl run as a child process, its output captured: what a script sees.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace qrvctl::testing {

struct Outcome {
    int exit = -1;  // 128 + signal when killed
    std::string out, err;
};

class QrvctlProcess {
public:
    // `runtimeDir` becomes XDG_RUNTIME_DIR: where simulators are announced.
    QrvctlProcess(const std::vector<std::string>& args, const std::string& runtimeDir);
    ~QrvctlProcess();
    QrvctlProcess(const QrvctlProcess&) = delete;
    QrvctlProcess& operator=(const QrvctlProcess&) = delete;

    void Signal(int signal);
    // Collects the output until the program ends (killed after `limit`).
    Outcome Wait(std::chrono::seconds limit = std::chrono::seconds(120));

private:
    pid_t pid_ = -1;
    int out_ = -1, err_ = -1;
};

Outcome RunQrvctl(const std::vector<std::string>& args, const std::string& runtimeDir = "/nonexistent");

}  // namespace qrvctl::testing
