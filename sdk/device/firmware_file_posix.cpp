// Firmware image files on POSIX systems: file names are bytes, taken here as
// the UTF-8 of the caller's wide-character path.
#include <cerrno>

#include "device/firmware_image.h"

namespace qrv::firmware {

LoadResult LoadImageFile(const wchar_t* path) {
    std::string utf8;
    if (WidePathToUtf8(path, utf8)) return LoadImage(utf8);
    // A path that is not Unicode names no file here.
    LoadResult result;
    result.fault = Fault::CannotOpen;
    result.systemError = EILSEQ;
    return result;
}

}  // namespace qrv::firmware
