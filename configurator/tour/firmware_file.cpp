#include "tour/firmware_file.h"

#include <QByteArray>
#include <QSaveFile>

#include <cstdint>

namespace qrvtune::tour {

namespace {
constexpr int kBlockSize = 64;
// Images older than this layout are refused by the module loader.
constexpr std::int32_t kImageVersion = 16;

void AppendWord(QByteArray& bytes, std::int32_t word) {
    const auto value = static_cast<std::uint32_t>(word);
    for (int shift = 0; shift < 32; shift += 8) bytes.append(static_cast<char>((value >> shift) & 0xFF));
}
}  // namespace

bool WriteFirmwareImage(const QString& path, int start, int blocks) {
    QByteArray image;
    // No first region (its start is 0); the second covers the blocks.
    AppendWord(image, 0);
    AppendWord(image, 0);
    AppendWord(image, start);
    AppendWord(image, start + blocks * kBlockSize);
    AppendWord(image, kImageVersion);
    for (int i = 0; i < blocks * kBlockSize; ++i) image.append(static_cast<char>((i * 7 + 3) & 0xFF));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(image);
    return file.commit();
}

}  // namespace qrvtune::tour
