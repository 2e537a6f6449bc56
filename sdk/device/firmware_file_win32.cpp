// Firmware image files on Windows: the caller's UTF-16 path goes to the
// system unchanged, so a name in any script opens (a narrow fopen would pass
// it through the ANSI code page and lose every character outside it).
#include <cerrno>
#include <cstdio>
#include <memory>

#include "device/firmware_image.h"

namespace qrv::firmware {

namespace {
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
}  // namespace

LoadResult LoadImageFile(const wchar_t* path) {
    std::unique_ptr<std::FILE, FileCloser> file(_wfopen(path, L"rb"));
    if (!file) {
        LoadResult result;
        result.fault = Fault::CannotOpen;
        result.systemError = errno;
        return result;
    }
    return ReadImage(file.get());
}

}  // namespace qrv::firmware
