// The exported failure reasons, traffic trace, frame decoder, version and
// upgrade progress. None of them waits for an exchange.
#include <string>

#include "api/global_data.h"
#include "api/last_failure.h"
#include "protocol/frame_text.h"
#include "qrvlink/qrvlink.h"

using namespace qrv;

namespace {
#define QRV_TEXT(x) #x
#define QRV_VERSION_TEXT(major, minor, patch) QRV_TEXT(major) "." QRV_TEXT(minor) "." QRV_TEXT(patch)
constexpr char kVersion[] = QRV_VERSION_TEXT(QRVLINK_VERSION_MAJOR, QRVLINK_VERSION_MINOR, QRVLINK_VERSION_PATCH);
}  // namespace

extern "C" {

QRV_API int32_t Q_GetLastFailure(char* detail, int32_t detailSize) { return LastFailure(detail, detailSize); }

QRV_API int32_t Q_GetLastOsError(void) { return LastOsError(); }

QRV_API void Q_CtxSetTraceHandler(QRV_CTX* ctx, Q_TraceHandler handler, void* user) {
    OnContext(ctx, 0, [&](CGlobalData& c) {
        c.Trace.SetHandler(handler, user);
        return 0;
    });
}
QRV_API void Q_SetTraceHandler(Q_TraceHandler handler, void* user) { Q_CtxSetTraceHandler(DefaultCtx(), handler, user); }

QRV_API int32_t Q_GetLastFailureInfo(QRV_FAILURE_INFO* info) { return LastFailureInfo(info); }

QRV_API int32_t Q_DescribeFrame(const uint8_t* bytes, int32_t length, char* text, int32_t textSize) {
    if (text == nullptr || textSize <= 0) return 0;
    const std::size_t count = bytes == nullptr || length < 0 ? 0 : static_cast<std::size_t>(length);
    std::string line;
    const bool complete = protocol::DescribeFrame({bytes, count}, protocol::FrameDirection::Unknown, line);
    CopyCut(line.data(), line.size(), text, textSize);
    return complete ? 1 : 0;
}

QRV_API const char* Q_GetVersion(void) { return kVersion; }

QRV_API void Q_CtxSetProgressHandler(QRV_CTX* ctx, Q_ProgressHandler handler, void* user) {
    OnContext(ctx, 0, [&](CGlobalData& c) {
        c.Progress.Set(handler, user);
        return 0;
    });
}
QRV_API void Q_SetProgressHandler(Q_ProgressHandler handler, void* user) {
    Q_CtxSetProgressHandler(DefaultCtx(), handler, user);
}

}  // extern "C"
