#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "common/wide_utf8.h"
#include "device/image_file.h"

namespace qrv::firmware {

namespace {

FileContents Failed(FileContents file, FileFault fault, DWORD error) {
    file.fault = fault;
    file.systemError = static_cast<int>(error);
    return file;
}

FileKind KindOfHandle(HANDLE handle) {
    switch (GetFileType(handle)) {
        case FILE_TYPE_DISK: return FileKind::Regular;
        case FILE_TYPE_PIPE: return FileKind::Fifo;
        case FILE_TYPE_CHAR: return FileKind::Device;
        default: return FileKind::Other;
    }
}

}  // namespace

// The path is opened as the caller gave it, in UTF-16; the UTF-8 form is for
// messages only.
FileContents ReadImageFile(const wchar_t* path, std::size_t limit) {
    FileContents file;
    if (!WideToUtf8(path, file.displayPath)) return Failed(std::move(file), FileFault::CannotOpen, ERROR_INVALID_NAME);

    // A directory opens only with backup semantics; look at it first.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        file.kind = FileKind::Directory;
        return Failed(std::move(file), FileFault::NotRegular, 0);
    }
    const HANDLE handle = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return Failed(std::move(file), FileFault::CannotOpen, GetLastError());
    // A named pipe or a device (\\.\COM1, NUL, CON) opens like a file; only
    // a disk file is an image, and the others could block a read.
    file.kind = KindOfHandle(handle);
    if (file.kind != FileKind::Regular) {
        CloseHandle(handle);
        return Failed(std::move(file), FileFault::NotRegular, 0);
    }
    file.bytes.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const std::size_t left = limit - got;
        const DWORD chunk = left > 0x10000000u ? 0x10000000u : static_cast<DWORD>(left);
        DWORD count = 0;
        if (!ReadFile(handle, file.bytes.data() + got, chunk, &count, nullptr)) {
            const DWORD error = GetLastError();
            CloseHandle(handle);
            file.bytes.clear();
            return Failed(std::move(file), FileFault::CannotRead, error);
        }
        if (count == 0) break;
        got += count;
    }
    CloseHandle(handle);
    file.bytes.resize(got);
    return file;
}

}  // namespace qrv::firmware
