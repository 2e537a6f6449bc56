// The line's traffic for whoever watches it: a caller's trace handler
// (Q_SetTraceHandler) and the decoded lines that QRVLINK_TRACE asks for.
// Nothing is done per frame while neither is set.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>

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
    // "stderr", or a file, terminal or pipe to append decoded lines to; set
    // before any traffic. Never blocks: false (errno set; EINVAL for a
    // directory, socket or block device) when it cannot be opened at once.
    bool WriteLinesTo(const std::string& where);
    // The port the lines name (several contexts may write to one file);
    // set by the open, under the exchange lock, like the traffic itself.
    void SetPortName(std::string name) { portName_ = std::move(name); }

    void OnTraffic(LineDirection direction, const std::uint8_t* bytes, std::size_t length) override;
    // Notes go to the decoded lines only ("# ..."): the handler sees bytes.
    void OnNote(const std::string& note) override;

    // The trace's clock: monotonic microseconds.
    static std::uint64_t NowMicroseconds();
    // "[   812.004211] /dev/ttyUSB0 -> AB D1 BA | read-base-info", newline
    // included; without a port name the port is left out.
    static std::string FormatLine(std::uint64_t microseconds, LineDirection direction,
                                  std::span<const std::uint8_t> bytes, const std::string& port = {});

private:
    void WriteLine(const std::string& line);

    HandlerSlot<Q_TraceHandler> handler_;
    int linesFd_ = -1;
    bool ownsLinesFd_ = false;
    std::string portName_;
};

}  // namespace qrv
