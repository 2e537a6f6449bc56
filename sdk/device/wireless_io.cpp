// Digital IO and analogue inputs of wireless-IO modules, through the IO frame
// family (0xAA ... 0x55). Index -1 is the local module; any other index is a
// search entry, reached between a tune to its pair and a tune back home.
#include <cstring>

#include "device/qrv_dev.h"

namespace qrv {

using namespace protocol;

namespace {
constexpr int kLocalModule = -1;
}  // namespace

template <typename Build, typename Check>
Outcome CQRVDev::IoExchange(int index, std::uint8_t command, Build&& build, Check&& check) {
    const CommandKey key = IoKey(command);
    // IO answers are read at once: the IO frames have no pause.
    const auto exchange = [&](std::uint16_t addr) {
        if (Outcome sent = Send(build(addr)); !sent.Ok()) return sent;
        const Reply reply = Receive(key);
        return Judge(key, reply, check(reply.answer));
    };
    if (index == kLocalModule) {
        if (!port_.IsOpen()) return PortClosed();
        return exchange(ModuleBase.NetAddr);
    }
    const auto entry = Found.View(index);
    if (!entry) return BadIndex(index, Found.Count());
    if (!port_.IsOpen()) return PortClosed();
    TuneToEntry(index);
    Outcome done = exchange(entry->base.NetAddr);
    // Home again whatever happened on the air.
    TuneHome();
    return done;
}

Outcome CQRVDev::SetIODirAll(int index, std::uint8_t directions) {
    // The local module's acknowledgement is taken on its length alone; a
    // relayed one must also carry status 0.
    const bool requireStatus = index != kLocalModule;
    return IoExchange(
        index, kIoCmdSetDirections, [directions](std::uint16_t addr) { return BuildIoSetDirections(addr, directions); },
        [requireStatus](Answer rx) { return CheckIoSetDirectionsAnswer(rx, requireStatus); });
}

Outcome CQRVDev::SetIOValue(int index, std::uint8_t outputs) {
    return IoExchange(
        index, kIoCmdSetOutputs, [outputs](std::uint16_t addr) { return BuildIoSetOutputs(addr, outputs); },
        [](Answer rx) { return CheckIoSetOutputsAnswer(rx); });
}

Outcome CQRVDev::GetIOValue(int index, std::uint8_t* value) {
    // Nowhere to put the answer: nothing is sent.
    if (value == nullptr) return Failure(Reason::BadArgument, "no buffer for the input lines");
    return IoExchange(index, kIoCmdReadInputs, BuildIoReadInputs, [value](Answer rx) {
        std::uint8_t lines = 0;
        const Verdict verdict = ParseIoInputsAnswer(rx, lines);
        if (verdict.Ok()) *value = lines;
        return verdict;
    });
}

Outcome CQRVDev::GetADValue(int index, std::uint8_t* values) {
    if (values == nullptr) return Failure(Reason::BadArgument, "no buffer for the AD values");
    return IoExchange(index, kIoCmdReadAd, BuildIoReadAd, [values](Answer rx) {
        // Parsed into a local block first: a refused answer leaves the
        // caller's bytes as they were.
        std::uint8_t block[kAdBlockSize];
        const Verdict verdict = ParseAdAnswer(rx, block);
        if (verdict.Ok()) std::memcpy(values, block, kAdBlockSize);
        return verdict;
    });
}

}  // namespace qrv
