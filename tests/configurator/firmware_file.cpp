#include "firmware_file.h"

#include <QFile>

namespace {

constexpr int kBlockSize = 64;

void AppendWord(QByteArray& bytes, std::int32_t word) {
    const auto value = static_cast<std::uint32_t>(word);
    for (int shift = 0; shift < 32; shift += 8) bytes.append(static_cast<char>((value >> shift) & 0xFF));
}

int BlocksBetween(std::int32_t start, std::int32_t end) {
    int blocks = 0;
    for (std::int64_t offset = start; offset < end; offset += kBlockSize) ++blocks;
    return blocks;
}

}  // namespace

QByteArray FirmwareImage(const FirmwareHeader& header) {
    QByteArray bytes;
    for (std::int32_t word : {header.firstStart, header.firstEnd, header.secondStart, header.secondEnd,
                              header.imageVersion})
        AppendWord(bytes, word);
    const int blocks = (header.firstStart > 0 ? BlocksBetween(header.firstStart, header.firstEnd) : 0) +
                       BlocksBetween(header.secondStart, header.secondEnd);
    for (int i = 0; i < blocks * kBlockSize; ++i) bytes.append(static_cast<char>((i * 7 + 3) & 0xFF));
    return bytes;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}
