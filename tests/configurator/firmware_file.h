#pragma once
// Small firmware images for the upgrade tests: a 20-byte header of five
// little-endian 32-bit words (first region start and end, second region
// start and end, image version), then the regions' 64-byte blocks.
#include <QByteArray>
#include <QString>

#include <cstdint>

struct FirmwareHeader {
    std::int32_t firstStart = 0;  // 0: no first region (its blocks cost a second each)
    std::int32_t firstEnd = 0;
    std::int32_t secondStart = 0x0400;
    std::int32_t secondEnd = 0x0400 + 4 * 64;
    std::int32_t imageVersion = 16;
};

// Header and exactly the blocks it names; block bytes are a running pattern.
QByteArray FirmwareImage(const FirmwareHeader& header);

// Writes `bytes` to `path`; false when that fails.
bool WriteFile(const QString& path, const QByteArray& bytes);
