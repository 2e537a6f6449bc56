// The firmware image through a real file under a wide path, as the export
// reads it: what LoadImage accepts from the file is what CheckImage accepts
// from the same bytes, and the command line's check agrees on the blocks.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "client/firmware_file.h"
#include "device/firmware_image.h"

using namespace qrv::firmware;

namespace {
void Require(bool holds) {
    if (!holds) std::abort();
}

// Non-ASCII on purpose: the wide path goes through its UTF-8 form.
const std::string& FilePath() {
    static const std::string path = "/tmp/qrv-image-fuzz-" + std::to_string(getpid()) + "-固件.bin";
    return path;
}
const std::wstring& WidePath() {
    static const std::wstring path = L"/tmp/qrv-image-fuzz-" + std::to_wstring(getpid()) + L"-固件.bin";
    return path;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(FilePath(), std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                        static_cast<std::streamsize>(size));
    const LoadResult loaded = LoadImage(WidePath().c_str());
    const LoadResult checked = CheckImage(std::vector<std::uint8_t>(data, data + size));
    Require(loaded.path == FilePath());
    Require(loaded.fault == checked.fault);
    if (loaded.fault == Fault::None) Require(loaded.image.blocks == checked.image.blocks);

    qrv::client::FirmwareFile image;
    if (qrv::client::CheckFirmwareFile(FilePath(), image).Ok() && loaded.fault == Fault::None)
        Require(image.Blocks() * qrv::protocol::kFirmwareBlockSize == loaded.image.blocks.size());
    return 0;
}
