#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "common/wide_utf8.h"
#include "device/image_file.h"

namespace qrv::firmware {

namespace {

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Directory;
    if (S_ISFIFO(mode)) return FileKind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode)) return FileKind::Device;
    if (S_ISSOCK(mode)) return FileKind::Socket;
    return FileKind::Other;
}

FileContents Failed(FileContents file, FileFault fault, int error) {
    file.fault = fault;
    file.systemError = error;
    return file;
}

}  // namespace

FileContents ReadImageFile(const wchar_t* path, std::size_t limit) {
    FileContents file;
    if (!WideToUtf8(path, file.displayPath)) return Failed(std::move(file), FileFault::CannotOpen, EILSEQ);
    const char* name = file.displayPath.c_str();

    // Look before opening: opening a device can have effects of its own (a
    // serial port raises its modem lines).
    struct stat info {};
    if (stat(name, &info) != 0) return Failed(std::move(file), FileFault::CannotOpen, errno);
    file.kind = KindOf(info.st_mode);
    if (file.kind != FileKind::Regular) return Failed(std::move(file), FileFault::NotRegular, 0);

    // Non-blocking, and looked at again once open: the path may have been
    // swapped for a FIFO in between.
    const int fd = open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Failed(std::move(file), FileFault::CannotOpen, errno);
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const int error = errno;
        file.kind = KindOf(info.st_mode);
        close(fd);
        return Failed(std::move(file), file.kind == FileKind::Regular ? FileFault::CannotRead : FileFault::NotRegular,
                      file.kind == FileKind::Regular ? error : 0);
    }
    file.bytes.resize(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t count = read(fd, file.bytes.data() + got, limit - got);
        if (count > 0) {
            got += static_cast<std::size_t>(count);
        } else if (count == 0) {
            break;
        } else if (errno != EINTR) {
            const int error = errno;
            close(fd);
            file.bytes.clear();
            return Failed(std::move(file), FileFault::CannotRead, error);
        }
    }
    close(fd);
    file.bytes.resize(got);
    return file;
}

}  // namespace qrv::firmware
