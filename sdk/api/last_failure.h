// The calling thread's last failure, as Q_GetLastFailure and
// Q_GetLastOsError give it (thread-local, like errno).
#pragma once

#include <cstdint>

#include "common/outcome.h"
#include "qrvlink/qrvlink.h"

namespace qrv {

// The public QRV_FAIL_* value of a reason.
std::int32_t PublicReason(Reason reason);

void RecordFailure(const Outcome& outcome);
// Copies the detail into `text` (NUL-terminated, cut at a character
// boundary to fit) and returns the reason.
std::int32_t LastFailure(char* text, std::int32_t size);
std::int32_t LastOsError();
// Copies the facts into `info` (up to info->size bytes); -1 when unusable.
std::int32_t LastFailureInfo(QRV_FAILURE_INFO* info);

// Copies `source` into `text` of `size` bytes, cut at a UTF-8 character
// boundary so that what is left is still valid text.
void CopyCut(const char* source, std::size_t length, char* text, std::int32_t size);

}  // namespace qrv
