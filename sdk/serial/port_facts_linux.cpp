#include <dirent.h>
#include <grp.h>
#include <pwd.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/outcome.h"
#include "serial/port_facts.h"

namespace qrv {

namespace {

// /proc/locks: "1: FLOCK  ADVISORY  WRITE 4121 00:19:6 0 EOF", the device
// of the file system and the inode in the sixth field; waiters are marked "->".
long FlockHolder(const struct stat& device) {
    std::ifstream locks("/proc/locks");
    std::string line;
    const std::string key = Printf("%02x:%02x:%lu", major(device.st_dev), minor(device.st_dev),
                                   static_cast<unsigned long>(device.st_ino));
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string id, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> id >> kind) || kind == "->") continue;
        if (!(fields >> mode >> access >> pid >> where)) continue;
        if (kind == "FLOCK" && where == key && pid > 0 && pid != getpid()) return pid;
    }
    return 0;
}

// Any other process with a descriptor on the same character device.
long DescriptorHolder(const struct stat& device) {
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return 0;
    long found = 0;
    while (dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == getpid()) continue;
        const std::string fdDir = "/proc/" + std::to_string(pid) + "/fd";
        DIR* fds = opendir(fdDir.c_str());
        if (fds == nullptr) continue;
        while (dirent* fd = readdir(fds)) {
            struct stat target {};
            if (fd->d_name[0] == '.' || stat((fdDir + "/" + fd->d_name).c_str(), &target) != 0) continue;
            if (S_ISCHR(target.st_mode) && target.st_rdev == device.st_rdev) {
                found = pid;
                break;
            }
        }
        closedir(fds);
        if (found != 0) break;
    }
    closedir(proc);
    return found;
}

std::string UserName(uid_t uid) {
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd* result = nullptr;
    if (getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &result) == 0 && result) return entry.pw_name;
    return std::to_string(uid);
}

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* result = nullptr;
    if (getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &result) == 0 && result) return entry.gr_name;
    return std::to_string(gid);
}

}  // namespace

std::string ProgramOf(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

PortHolder FindPortHolder(const struct stat& device) {
    long pid = FlockHolder(device);
    if (pid == 0 && S_ISCHR(device.st_mode)) pid = DescriptorHolder(device);
    if (pid == 0) return {};
    return PortHolder{pid, ProgramOf(pid)};
}

std::string DescribeHolder(const PortHolder& holder, FailureFacts* facts) {
    if (facts != nullptr) {
        facts->holderPid = holder.pid;
        facts->holderProgram = holder.program;
    }
    if (holder.pid == 0) return "held by another process";
    if (holder.program.empty()) return Printf("held by process %ld", holder.pid);
    return Printf("held by process %ld (%s)", holder.pid, holder.program.c_str());
}

std::string DescribePortHolder(const struct stat& device, FailureFacts* facts) {
    return DescribeHolder(FindPortHolder(device), facts);
}

std::string DescribeOwnership(const std::string& path, FailureFacts* facts) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    if (facts != nullptr) {
        facts->ownerUid = info.st_uid;
        facts->groupGid = info.st_gid;
        facts->mode = info.st_mode & 07777;
        facts->ownerName = UserName(info.st_uid);
        facts->groupName = GroupName(info.st_gid);
    }
    const mode_t m = info.st_mode;
    const char type = S_ISCHR(m) ? 'c' : S_ISDIR(m) ? 'd' : S_ISREG(m) ? '-' : '?';
    const char bits[] = {type,
                         (m & S_IRUSR) ? 'r' : '-', (m & S_IWUSR) ? 'w' : '-', (m & S_IXUSR) ? 'x' : '-',
                         (m & S_IRGRP) ? 'r' : '-', (m & S_IWGRP) ? 'w' : '-', (m & S_IXGRP) ? 'x' : '-',
                         (m & S_IROTH) ? 'r' : '-', (m & S_IWOTH) ? 'w' : '-', (m & S_IXOTH) ? 'x' : '-', '\0'};
    return std::string(bits) + " " + UserName(info.st_uid) + ":" + GroupName(info.st_gid);
}

}  // namespace qrv
