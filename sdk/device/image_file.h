// Reading a firmware image file. One small file per platform: this
// interface, image_file_posix.cpp here, and a Windows one that opens the
// wide path as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qrv::firmware {

enum class FileFault { None, CannotOpen, NotRegular, CannotRead };
enum class FileKind { Regular, Directory, Fifo, Device, Socket, Other };

struct FileContents {
    FileFault fault = FileFault::None;
    int systemError = 0;               // errno (GetLastError() on Windows) for CannotOpen / CannotRead
    FileKind kind = FileKind::Regular; // what the path named
    std::string displayPath;           // UTF-8, for messages (U+FFFD where the path was not Unicode)
    std::vector<std::uint8_t> bytes;   // the file's first bytes, at most the limit asked for
};

// Reads up to `limit` bytes of the file at `path`. Only a regular file is
// read: a directory, FIFO, device or socket is refused at once (NotRegular)
// without being read, and nothing on the way can block, so a FIFO without a
// writer cannot hold the upgrade.
FileContents ReadImageFile(const wchar_t* path, std::size_t limit);

}  // namespace qrv::firmware
