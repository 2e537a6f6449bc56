// monitor without a command: the local module read again and again, its
// traffic on standard output, until Ctrl-C (or --count reads). A failed read
// is noted and the next one tried: watching a flaky line is the point; only
// a port that failed ends it. The end counts the reads and the failed ones,
// and the exit status is the last failure's when any failed.
#include <chrono>
#include <optional>
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
    int reads = 0, failed = 0;
    std::optional<Status> lastFailure;
    for (int done = 0; count == 0 || done < count; ++done) {
        if (done > 0) {
            // Waits out the interval in short steps so Ctrl-C ends it at once.
            const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(intervalMs);
            while (!StopOnInterrupt::Requested() && std::chrono::steady_clock::now() < next)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (StopOnInterrupt::Requested()) break;
        ModuleRecords records;
        ++reads;
        if (Status st = module->Read(records); !st.Ok()) {
            if (st.outcome == Outcome::Port) return Finish(st);
            printer.Note(st.message);
            ++failed;
            lastFailure = st;
        }
    }
    // A summary, and an exit status that says whether every exchange worked.
    printer.Note(std::to_string(reads) + " read" + (reads == 1 ? "" : "s") + ", " + std::to_string(failed) + " failed");
    if (lastFailure)
        return Finish(Status::Fail(lastFailure->outcome, std::to_string(failed) + " of " + std::to_string(reads) +
                                                             " reads failed; the last: " + lastFailure->message));
    return Finish({});
}

}  // namespace qrvctl
