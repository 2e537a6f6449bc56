#include "text/user_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qrv::text {

namespace {

std::string Refused(const std::string& path, unsigned mode) {
    return path + ": is " + DescribeFileKind(mode) + ", not a regular file";
}

std::string SystemSays(const std::string& path, const char* what, int error) {
    return path + ": " + what + ": " + std::strerror(error);
}

std::string SizeText(std::size_t limit) {
    if (limit % (std::size_t{1} << 20) == 0) return std::to_string(limit >> 20) + " MiB";
    return std::to_string(limit) + " bytes";
}

bool ReadRegular(const std::string& path, std::size_t limit, bool wholeOnly, std::string& bytes,
                 std::string& problem);

}  // namespace

std::string DescribeFileKind(unsigned mode) {
    const auto m = static_cast<mode_t>(mode);
    if (S_ISREG(m)) return "a regular file";
    if (S_ISDIR(m)) return "a directory";
    if (S_ISFIFO(m)) return "a FIFO";
    if (S_ISCHR(m)) return "a character device";
    if (S_ISBLK(m)) return "a block device";
    if (S_ISSOCK(m)) return "a socket";
    return "not a file";
}

bool ReadUserFile(const std::string& path, std::string& bytes, std::string& problem, std::size_t limit) {
    return ReadRegular(path, limit, true, bytes, problem);
}

bool ReadUserFileStart(const std::string& path, std::size_t limit, std::string& bytes, std::string& problem) {
    return ReadRegular(path, limit, false, bytes, problem);
}

namespace {

bool ReadRegular(const std::string& path, std::size_t limit, bool wholeOnly, std::string& bytes,
                 std::string& problem) {
    // Looked at before opening: opening a device can have effects of its own
    // (a serial port raises its modem lines), opening a FIFO can wait forever.
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        problem = SystemSays(path, "cannot open", errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        problem = Refused(path, info.st_mode);
        return false;
    }
    // Non-blocking and looked at again once open: the path may have been
    // swapped for a FIFO in between.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        problem = SystemSays(path, "cannot open", errno);
        return false;
    }
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        problem = Refused(path, info.st_mode);
        close(fd);
        return false;
    }
    std::string text;
    // One byte past the limit tells "exactly the limit" from "more".
    text.resize(wholeOnly ? limit + 1 : limit);
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t count = read(fd, text.data() + got, text.size() - got);
        if (count > 0) {
            got += static_cast<std::size_t>(count);
        } else if (count == 0) {
            break;
        } else if (errno != EINTR) {
            problem = SystemSays(path, "cannot read", errno);
            close(fd);
            return false;
        }
    }
    close(fd);
    if (got > limit) {
        problem = path + ": larger than " + SizeText(limit);
        return false;
    }
    text.resize(got);
    bytes = std::move(text);
    return true;
}

}  // namespace

bool WritableAsRegularFile(const std::string& path, std::string& problem) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return true;
    if (S_ISREG(info.st_mode)) return true;
    problem = Refused(path, info.st_mode);
    return false;
}

}  // namespace qrv::text
