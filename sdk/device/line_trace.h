// The line's traffic for whoever watches it: a caller's trace handler
// (Q_SetTraceHandler) and the decoded lines that QRVLINK_TRACE asks for.
// Nothing is done per frame while neither is set.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/handler_slot.h"
#include "qrvlink/qrvlink.h"
#include "serial/serial_port.h"

namespace qrv {

class LineTrace final : public LineObserver {
public:
    LineTrace() = default;
    ~LineTrace() override;
    LineTrace(const LineTrace&) = delete;
    LineTrace& operator=(const LineTrace&) = delete;

    // Null removes it; returns once no call of the old handler runs.
    void SetHandler(Q_TraceHandler handler, void* user) { handler_.Set(handler, user); }
    // "stderr", or a file to append decoded lines to; set before any traffic.
    // False when the file cannot be opened.
    bool WriteLinesTo(const std::string& where);

    void OnTraffic(LineDirection direction, const std::uint8_t* bytes, std::size_t length) override;
    // Notes go to the decoded lines only ("# ..."): the handler sees bytes.
    void OnNote(const std::string& note) override;

    // The trace's clock: monotonic microseconds.
    static std::uint64_t NowMicroseconds();
    // "[   812.004211] -> AB D1 BA | read-base-info", newline included.
    static std::string FormatLine(std::uint64_t microseconds, LineDirection direction,
                                  std::span<const std::uint8_t> bytes);

private:
    void WriteLine(const std::string& line);

    HandlerSlot<Q_TraceHandler> handler_;
    int linesFd_ = -1;
    bool ownsLinesFd_ = false;
};

}  // namespace qrv
