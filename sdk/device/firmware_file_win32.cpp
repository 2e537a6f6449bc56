// Firmware image files on Windows: the caller's UTF-16 path goes to the
// system unchanged, so a name in any script opens (a narrow fopen would pass
// it through the ANSI code page and lose every character outside it).
#include <cstdio>

#include "device/firmware_image.h"

namespace qrv::firmware {

LoadResult LoadImageFile(const wchar_t* path) { return ReadImageFile(_wfopen(path, L"rb")); }

}  // namespace qrv::firmware
