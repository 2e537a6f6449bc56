// Finding far modules: tune the local radio to one channel/rate pair, ask who
// is there, keep every new answer as a search entry, and tune back home.
#include "device/qrv_dev.h"

namespace qrv {

using namespace protocol;

namespace {
// Reads a broadcast may waste on silence or noise before it gives up; a good
// answer earns its read back, so a crowded pair is read to the end.
constexpr int kBroadcastFailureBudget = 3;
// A search by address expects one module and tries its answer twice.
constexpr int kByAddrReads = 2;
}  // namespace

int CQRVDev::SearchDev(int channel, int rate) {
    if (!PortOpen()) return 0;
    if (!TuneChannel(channel, rate)) {
        TuneHome();
        return 0;
    }
    // A search frame that cannot be written leaves the radio on the searched
    // pair; the next exchange tunes it wherever it needs to be.
    if (!Send(BuildSearchBroadcast())) return 0;
    Pause(kWaitSearchMs);

    bool added = false;
    // Answers are taken one per read (capacity 8), as long as they keep coming.
    for (int budget = kBroadcastFailureBudget; budget > 0;) {
        --budget;
        ::ModuleBase base{};
        if (!ParseSearchAnswer(Receive(kAnswerLenSearch), kCmdSearchBroadcast, base).Ok()) continue;
        ++budget;
        if (AppendIfNew(base, channel, rate)) added = true;
    }
    TuneHome();
    return added ? 1 : 0;
}

int CQRVDev::SearchDevByAddr(int channel, int rate, int address) {
    if (!PortOpen()) return 0;
    if (!TuneChannel(channel, rate)) {
        TuneHome();
        return 0;
    }
    if (!Send(BuildSearchByAddr(static_cast<std::uint16_t>(address)))) return 0;
    Pause(kWaitSearchMs);

    ::ModuleBase base{};
    bool answered = false;
    for (int read = 0; read < kByAddrReads && !answered; ++read)
        answered = ParseSearchAnswer(Receive(kAnswerLenSearch), kCmdSearchByAddr, base).Ok();
    // Whoever answered is kept under its own address, even if it is not the
    // one asked for.
    const bool added = answered && AppendIfNew(base, channel, rate);
    TuneHome();
    return added ? 1 : 0;
}

}  // namespace qrv
