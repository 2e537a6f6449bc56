// monitor without a command: the local module read again and again, its
// traffic on standard output, until Ctrl-C (or --count reads). A failed read
// is noted and the next one tried: watching a flaky line is the point; only
// a port that failed ends it.
#include <chrono>
#include <thread>

#include "client/sdk_link.h"
#include "qrvctl/command_support.h"
#include "qrvctl/interrupt.h"

namespace qrvctl {

using namespace qrv::client;

int RunMonitor(const CommonOptions& options, int intervalMs, int count) {
    const Printer printer(options.json, options.quiet);
    Connection connection;
    if (Status st = Connect(options, printer, connection); !st.Ok()) return Finish(st);
    printer.Note("reading the local module on " + connection.line.port + " every " + std::to_string(intervalMs) +
                 " ms; Ctrl-C stops");
    const StopOnInterrupt interrupt;
    const std::unique_ptr<ModuleAccess> module = LocalModule();
    for (int done = 0; count == 0 || done < count; ++done) {
        if (done > 0) {
            // Waits out the interval in short steps so Ctrl-C ends it at once.
            const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(intervalMs);
            while (!StopOnInterrupt::Requested() && std::chrono::steady_clock::now() < next)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (StopOnInterrupt::Requested()) break;
        ModuleRecords records;
        if (Status st = module->Read(records); !st.Ok()) {
            if (st.outcome == Outcome::Port) return Finish(st);
            printer.Note(st.message);
        }
    }
    return Finish({});
}

}  // namespace qrvctl
