// Finding far modules: tune the local radio to one channel/rate pair, ask who
// is there, keep every new answer as a search entry, and tune back home.
#include <algorithm>
#include <vector>

#include "device/qrv_dev.h"
#include "protocol/frame_text.h"

namespace qrv {

using namespace protocol;

namespace {
// Reads a broadcast may waste on silence or noise before it gives up; a good
// answer earns its read back, so a crowded pair is read to the end. An
// answer from a module already heard in this search earns nothing: a stuck
// transmitter repeating itself cannot keep the search going.
constexpr int kBroadcastFailureBudget = 3;
// A search by address expects one module and tries its answer twice.
constexpr int kByAddrReads = 2;

bool SameModule(const ::ModuleBase& a, const ::ModuleBase& b) {
    return a.NetAddr == b.NetAddr && a.DevType == b.DevType && a.RunState == b.RunState;
}

std::string PairText(int channel, int rate) {
    const char* name = AirRateName(static_cast<std::uint8_t>(rate));
    return name[0] == '?' ? Printf("channel %d at rate index %d", channel, rate)
                          : Printf("channel %d at %s", channel, name);
}
}  // namespace

Outcome CQRVDev::SearchDev(int channel, int rate) {
    if (!port_.IsOpen()) return PortClosed();
    const std::string what = "search-broadcast on " + PairText(channel, rate);
    if (Outcome tuned = TuneChannel(channel, rate); !tuned.Ok()) {
        TuneHome();
        return tuned;
    }
    // A search frame that cannot be written leaves the radio on the searched
    // pair; the next exchange tunes it wherever it needs to be.
    if (Outcome sent = Send(BuildSearchBroadcast()); !sent.Ok()) return sent;
    const auto limit = waits_.Now() + kSearchLimit;
    if (Outcome paused = Pause(kWaitSearchMs); !paused.Ok()) return paused;

    std::vector<::ModuleBase> heard;
    int added = 0;
    bool cutOff = false;
    Outcome lost;
    // Answers are taken one per read (capacity 8), as long as they keep coming.
    for (int budget = kBroadcastFailureBudget; budget > 0;) {
        if (waits_.Now() >= limit) {
            cutOff = true;
            break;
        }
        --budget;
        const Reply reply = Receive(kAnswerLenSearch);
        if (!reply.read.Ok()) {
            lost = reply.read;
            break;
        }
        ::ModuleBase base{};
        if (!ParseSearchAnswer(reply.answer, kCmdSearchBroadcast, base).Ok()) continue;
        if (std::any_of(heard.begin(), heard.end(), [&](const auto& h) { return SameModule(h, base); })) continue;
        heard.push_back(base);
        ++budget;
        if (Found.AppendIfNew(base, channel, rate)) ++added;
    }
    TuneHome();

    std::string ended = Printf("%s: %zu module%s answered, %d of them new", what.c_str(), heard.size(),
                               heard.size() == 1 ? "" : "s", added);
    if (cutOff) ended += Printf("; stopped at the %lld s limit while answers kept coming",
                                static_cast<long long>(kSearchLimit.count()));
    if (!lost.Ok()) {
        if (added == 0) return lost;
        ended += "; then " + lost.detail;
    }
    if (added > 0) return Success(ended);
    if (heard.empty() && !cutOff)
        return Failure(
            Reason::NoAnswer,
            Printf("%s: no module answered (%d reads of %u ms on %s at %u baud)", what.c_str(), kBroadcastFailureBudget,
                   port_.CurrentTimeouts().readTotalConstantMs, port_.DevicePath().c_str(), port_.Settings().baudRate),
            0, LineFacts(kCmdSearchBroadcast));
    return Failure(Reason::NoAnswer, ended, 0, LineFacts(kCmdSearchBroadcast));
}

Outcome CQRVDev::SearchDevByAddr(int channel, int rate, int address) {
    if (!port_.IsOpen()) return PortClosed();
    const auto wanted = static_cast<std::uint16_t>(address);
    const std::string what = Printf("search-by-addr 0x%04X on %s", wanted, PairText(channel, rate).c_str());
    if (Outcome tuned = TuneChannel(channel, rate); !tuned.Ok()) {
        TuneHome();
        return tuned;
    }
    if (Outcome sent = Send(BuildSearchByAddr(wanted)); !sent.Ok()) return sent;
    if (Outcome paused = Pause(kWaitSearchMs); !paused.Ok()) return paused;

    ::ModuleBase base{};
    bool answered = false;
    Outcome lost;
    for (int read = 0; read < kByAddrReads && !answered && lost.Ok(); ++read) {
        const Reply reply = Receive(kAnswerLenSearch);
        lost = reply.read;
        answered = lost.Ok() && ParseSearchAnswer(reply.answer, kCmdSearchByAddr, base).Ok();
    }
    // Whoever answered is kept under its own address, even if it is not the
    // one asked for.
    const bool added = answered && Found.AppendIfNew(base, channel, rate);
    TuneHome();
    if (!lost.Ok()) return lost;
    if (added) return Success(Printf("%s: 0x%04X answered", what.c_str(), unsigned{base.NetAddr}));
    if (answered)
        return Failure(Reason::NoAnswer,
                       Printf("%s: 0x%04X answered and is already listed", what.c_str(), unsigned{base.NetAddr}));
    return Failure(
        Reason::NoAnswer,
        Printf("%s: no answer (%d reads of %u ms on %s at %u baud)", what.c_str(), kByAddrReads,
               port_.CurrentTimeouts().readTotalConstantMs, port_.DevicePath().c_str(), port_.Settings().baudRate),
        0, LineFacts(kCmdSearchByAddr));
}

Outcome CQRVDev::GetRemoteDevBase(::ModuleBase* out, int index) const {
    if (out == nullptr) return Failure(Reason::BadArgument, "no buffer for the module's identity");
    const auto entry = Found.View(index);
    if (!entry) return BadIndex(index, Found.Count());
    *out = entry->base;
    return Success();
}

}  // namespace qrv
