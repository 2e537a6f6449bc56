#include "qrvctl_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace qrvctl::testing {

QrvctlProcess::QrvctlProcess(const std::vector<std::string>& args, const std::string& runtimeDir) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        // No terminal: qrvctl must not wait for a password or a confirmation.
        const int null = open("/dev/null", O_RDONLY);
        dup2(null, STDIN_FILENO);
        setenv("XDG_RUNTIME_DIR", runtimeDir.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(QRVCTL_PROGRAM)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(QRVCTL_PROGRAM, argv.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    out_ = out[0];
    err_ = err[0];
}

QrvctlProcess::~QrvctlProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (out_ >= 0) close(out_);
    if (err_ >= 0) close(err_);
}

void QrvctlProcess::Signal(int signal) { kill(pid_, signal); }

Outcome QrvctlProcess::Wait(std::chrono::seconds limit) {
    Outcome outcome;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    std::string* sinks[2] = {&outcome.out, &outcome.err};
    int open = 2;
    while (open > 0 && std::chrono::steady_clock::now() < deadline) {
        if (poll(fds, 2, 100) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else {
                fds[i].fd = -1;
                --open;
            }
        }
    }
    if (open > 0) kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    outcome.exit = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

Outcome RunQrvctl(const std::vector<std::string>& args, const std::string& runtimeDir) {
    QrvctlProcess process(args, runtimeDir);
    return process.Wait();
}

}  // namespace qrvctl::testing
