// Files a user names, on Windows: looked at through the UTF-16 name (a
// narrow name would pass through the ANSI code page and lose Chinese
// characters) and read only when they are regular files, as on POSIX.
#include "text/user_file.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <system_error>

namespace qrv::text {

namespace {

std::filesystem::path WidePath(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    const int count = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count > 0 ? count : 0), L'\0');
    if (count > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), count);
    return std::filesystem::path(wide);
}

std::string KindOf(std::filesystem::file_type type) {
    switch (type) {
    case std::filesystem::file_type::directory: return "a directory";
    case std::filesystem::file_type::character: return "a character device";
    case std::filesystem::file_type::block: return "a block device";
    case std::filesystem::file_type::fifo: return "a FIFO";
    case std::filesystem::file_type::socket: return "a socket";
    default: return "not a file";
    }
}

// Empty when `path` is a regular file, else why it is refused.
std::string RegularOrWhy(const std::string& path, bool absentIsFine) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(WidePath(path), error);
    if (status.type() == std::filesystem::file_type::not_found)
        return absentIsFine ? std::string() : path + ": cannot open: " + error.message();
    if (error) return path + ": cannot open: " + error.message();
    if (status.type() != std::filesystem::file_type::regular)
        return path + ": is " + KindOf(status.type()) + ", not a regular file";
    return {};
}

bool ReadRegular(const std::string& path, std::size_t limit, bool wholeOnly, std::string& bytes,
                 std::string& problem) {
    problem = RegularOrWhy(path, false);
    if (!problem.empty()) return false;
    std::ifstream file(WidePath(path), std::ios::binary);
    if (!file) {
        problem = path + ": cannot open";
        return false;
    }
    // One byte past the limit tells "exactly the limit" from "more".
    std::string text(wholeOnly ? limit + 1 : limit, '\0');
    file.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto got = static_cast<std::size_t>(file.gcount());
    if (file.bad()) {
        problem = path + ": cannot read";
        return false;
    }
    if (got > limit) {
        problem = path + ": larger than " + std::to_string(limit >> 20) + " MiB";
        return false;
    }
    text.resize(got);
    bytes = std::move(text);
    return true;
}

}  // namespace

std::string DescribeFileKind(unsigned mode) {
    switch (mode & _S_IFMT) {
    case _S_IFREG: return "a regular file";
    case _S_IFDIR: return "a directory";
    case _S_IFCHR: return "a character device";
    case _S_IFIFO: return "a FIFO";
    default: return "not a file";
    }
}

bool ReadUserFile(const std::string& path, std::string& bytes, std::string& problem, std::size_t limit) {
    return ReadRegular(path, limit, true, bytes, problem);
}

bool ReadUserFileStart(const std::string& path, std::size_t limit, std::string& bytes, std::string& problem) {
    return ReadRegular(path, limit, false, bytes, problem);
}

bool WritableAsRegularFile(const std::string& path, std::string& problem) {
    problem = RegularOrWhy(path, true);
    return problem.empty();
}

}  // namespace qrv::text
