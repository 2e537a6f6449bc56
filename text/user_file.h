// Files a user or the environment names (profiles, plans, scenarios): looked
// at before they are opened and read without ever blocking. Only a regular
// file is read; a FIFO, a device, a directory or a socket is refused at
// once with a message that names the path and what it is, so a FIFO
// without a writer or /dev/zero cannot hang or swell the program.
#pragma once

#include <cstddef>
#include <string>

namespace qrv::text {

// What reads a whole file reads at most (profiles, plans, scenarios).
inline constexpr std::size_t kUserFileLimit = std::size_t{1} << 20;

// "a FIFO", "a directory", "a character device", ... for messages.
std::string DescribeFileKind(unsigned mode);

// Reads the regular file at `path` whole into `bytes`. False with `problem`
// set ("PATH: is a FIFO, not a regular file", "PATH: cannot open:
// Permission denied", "PATH: larger than 1 MiB") when it is not one, cannot
// be opened or read, or holds more than `limit` bytes.
bool ReadUserFile(const std::string& path, std::string& bytes, std::string& problem,
                  std::size_t limit = kUserFileLimit);

// Reads the first `limit` bytes of the regular file at `path` (all of a
// shorter one); refuses what is not a regular file as ReadUserFile does.
bool ReadUserFileStart(const std::string& path, std::size_t limit, std::string& bytes, std::string& problem);

// Whether `path` is absent or a regular file: what a program may write over.
// False with `problem` naming what the path is otherwise.
bool WritableAsRegularFile(const std::string& path, std::string& problem);

}  // namespace qrv::text
