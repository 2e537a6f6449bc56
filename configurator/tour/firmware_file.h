#pragma once
// A small firmware image for the tour's upgrade: the 20-byte header (five
// little-endian 32-bit words) and one region of 64-byte blocks.
#include <QString>

namespace qrvtune::tour {

// Writes an image of `blocks` second-region blocks starting at module offset
// `start`; false when the file cannot be written.
bool WriteFirmwareImage(const QString& path, int start, int blocks);

}  // namespace qrvtune::tour
