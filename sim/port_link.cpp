#include "sim/port_link.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace qrv::sim {

namespace {

constexpr int kMaxAnnouncedPorts = 100;

std::string LinkTarget(const std::string& path) {
    char buffer[4096];
    const ssize_t n = readlink(path.c_str(), buffer, sizeof buffer - 1);
    return n < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(n));
}

bool Fail(std::string& error, const std::string& what) {
    error = what + ": " + std::strerror(errno);
    return false;
}

}  // namespace

std::string AnnounceDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/qrvsim";
    return "/tmp/qrvsim-" + std::to_string(getuid());
}

bool PortLink::Create(const std::string& path, const std::string& target, std::string& error) {
    Remove();
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            errno = EEXIST;
            return Fail(error, path);
        }
        unlink(path.c_str());
    }
    if (symlink(target.c_str(), path.c_str()) != 0) return Fail(error, path);
    path_ = path;
    target_ = target;
    return true;
}

bool PortLink::Announce(const std::string& directory, const std::string& target, std::string& error) {
    Remove();
    if (mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) return Fail(error, directory);
    // In a shared /tmp the folder must be ours and a real folder, not a
    // link someone else planted.
    struct stat info {};
    if (lstat(directory.c_str(), &info) != 0) return Fail(error, directory);
    if (!S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
        errno = EPERM;
        return Fail(error, directory);
    }
    for (int n = 0; n < kMaxAnnouncedPorts; ++n) {
        const std::string path = directory + "/qrvsim" + std::to_string(n);
        if (symlink(target.c_str(), path.c_str()) == 0) {
            path_ = path;
            target_ = target;
            return true;
        }
        if (errno != EEXIST) return Fail(error, path);
        // Left behind by a simulator that did not end cleanly: its pty is gone.
        struct stat pointee {};
        if (stat(path.c_str(), &pointee) != 0 && unlink(path.c_str()) == 0) --n;
    }
    errno = EMFILE;
    return Fail(error, directory);
}

void PortLink::Remove() {
    if (!path_.empty() && LinkTarget(path_) == target_) unlink(path_.c_str());
    path_.clear();
    target_.clear();
}

}  // namespace qrv::sim
