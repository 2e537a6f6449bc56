#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "serial/port_facts.h"
#include "serial/uucp_lock.h"

namespace qrv {

namespace {

constexpr std::string_view kDevFolder = "/dev/";
// A lock file whose content is no process number yet may be one that its
// writer has just created: only an older one counts as stale.
constexpr std::time_t kUnwrittenGraceSeconds = 2;
constexpr std::size_t kMaxLockFileBytes = 64;

bool ProcessAlive(long pid) { return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\0'; }

// Reads a small file whole; false when it does not exist or cannot be read.
bool ReadSmallFile(const std::string& path, std::string& content, struct stat& info, int& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = errno;
        return false;
    }
    char buffer[kMaxLockFileBytes];
    ssize_t count = 0;
    do {
        count = read(fd, buffer, sizeof buffer);
    } while (count < 0 && errno == EINTR);
    error = count < 0 ? errno : 0;
    const bool ok = count >= 0 && fstat(fd, &info) == 0;
    close(fd);
    if (ok) content.assign(buffer, static_cast<std::size_t>(count));
    return ok;
}

std::string ResolvedPath(const std::string& devicePath) {
    char* resolved = realpath(devicePath.c_str(), nullptr);
    if (resolved == nullptr) return devicePath;
    std::string path(resolved);
    std::free(resolved);
    return path;
}

}  // namespace

std::string LockFileName(std::string_view devicePath) {
    std::string_view name = devicePath;
    if (name.starts_with(kDevFolder)) {
        name.remove_prefix(kDevFolder.size());
    } else if (const auto slash = name.rfind('/'); slash != std::string_view::npos) {
        name.remove_prefix(slash + 1);
    }
    std::string file = "LCK..";
    for (const char c : name) file += c == '/' ? '_' : c;
    return file;
}

std::string LockFileContent(long pid) { return Printf("%10ld\n", pid); }

std::optional<long> ParseLockContent(std::string_view content) {
    std::size_t at = 0;
    while (at < content.size() && content[at] == ' ') ++at;
    long pid = 0;
    std::size_t digits = 0;
    for (; at < content.size() && content[at] >= '0' && content[at] <= '9' && digits < 10; ++at, ++digits)
        pid = pid * 10 + (content[at] - '0');
    bool tailBlank = true;
    for (; at < content.size(); ++at) tailBlank = tailBlank && IsBlank(content[at]);
    if (digits > 0 && tailBlank && pid > 0) return pid;
    // Binary: the pid as a native 4-byte integer and nothing else (text
    // of four printable characters is no such number).
    const bool text =
        std::all_of(content.begin(), content.end(), [](char c) { return (c >= ' ' && c <= '~') || IsBlank(c); });
    if (content.size() == sizeof(std::int32_t) && !text) {
        std::int32_t binary = 0;
        std::memcpy(&binary, content.data(), sizeof binary);
        if (binary > 0) return binary;
    }
    return std::nullopt;
}

UucpLock::UucpLock(std::string folder) : folder_(std::move(folder)) {}

UucpLock::~UucpLock() { Release(); }

std::string UucpLock::SystemFolder() {
    struct stat info {};
    if (stat("/run/lock", &info) == 0 && S_ISDIR(info.st_mode)) return "/run/lock";
    return "/var/lock";
}

Outcome UucpLock::CheckForeign(const std::string& lockPath, const std::string& devicePath) {
    std::string content;
    struct stat info {};
    int error = 0;
    if (!ReadSmallFile(lockPath, content, info, error)) return Success();
    FailureFacts facts;
    facts.path = devicePath;
    const auto pid = ParseLockContent(content);
    if (pid && *pid == getpid()) return Success();  // another port of ours: flock decides
    if (pid && ProcessAlive(*pid)) {
        const std::string holder = DescribeHolder(PortHolder{*pid, ProgramOf(*pid)}, &facts);
        return Failure(Reason::PortBusy,
                       Printf("open %s: %s (lock file %s)", devicePath.c_str(), holder.c_str(), lockPath.c_str()),
                       EBUSY, std::move(facts));
    }
    if (!pid && std::time(nullptr) - info.st_mtime < kUnwrittenGraceSeconds)
        return Failure(Reason::PortBusy,
                       Printf("open %s: held by another process (lock file %s, being written)", devicePath.c_str(),
                              lockPath.c_str()),
                       EBUSY, std::move(facts));
    // Its owner is gone (or it never said who it was): stale.
    if (unlink(lockPath.c_str()) != 0 && errno != ENOENT)
        note_ = Printf("stale lock file %s could not be removed (%s)", lockPath.c_str(), SystemMessage(errno).c_str());
    return Success();
}

// The content is complete before the name appears: written to a private
// file first and then linked into place, which fails when the name exists.
bool UucpLock::Create(const std::string& lockPath, int& error) {
    static std::atomic<unsigned> serial{0};
    const std::string temporary = Printf("%s/LTMP.%ld.%u", folder_.c_str(), static_cast<long>(getpid()), serial++);
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = errno;
        return false;
    }
    const std::string content = LockFileContent(getpid());
    const bool written = write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    error = written ? 0 : errno;
    close(fd);
    const bool linked = written && link(temporary.c_str(), lockPath.c_str()) == 0;
    if (written && !linked) error = errno;
    unlink(temporary.c_str());
    return linked;
}

Outcome UucpLock::Claim(const std::string& devicePath) {
    Release();
    note_.clear();
    if (folder_.empty()) return Success();
    // The same device under two names (a /dev/serial/by-id link and the
    // node it points at) is one port: look under both, write the node's.
    const std::string device = ResolvedPath(devicePath);
    const std::string lockPath = folder_ + "/" + LockFileName(device);
    const std::string givenPath = folder_ + "/" + LockFileName(devicePath);
    if (givenPath != lockPath)
        if (Outcome busy = CheckForeign(givenPath, devicePath); !busy.Ok()) return busy;
    // Twice: another program may create its file between our look and ours.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (Outcome busy = CheckForeign(lockPath, devicePath); !busy.Ok()) return busy;
        int error = 0;
        if (Create(lockPath, error)) {
            held_ = lockPath;
            return Success();
        }
        if (error == EEXIST) continue;
        note_ = Printf("no lock file in %s (%s): %s is held by flock and TIOCEXCL alone", folder_.c_str(),
                       SystemMessage(error).c_str(), devicePath.c_str());
        return Success();
    }
    // Still there: a file of our own process (another port object of ours).
    return Success();
}

void UucpLock::Release() {
    if (held_.empty()) return;
    // Only a file that still names us: never another program's.
    std::string content;
    struct stat info {};
    int error = 0;
    if (ReadSmallFile(held_, content, info, error) && ParseLockContent(content) == std::optional<long>(getpid()))
        unlink(held_.c_str());
    held_.clear();
}

}  // namespace qrv
