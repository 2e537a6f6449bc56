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

template <typename Build, typename Judge>
int CQRVDev::IoExchange(int index, Build&& build, Judge&& judge) {
    // IO answers are read at once: the IO frames have no pause.
    if (index == kLocalModule) {
        if (!PortOpen()) return 0;
        if (!Send(build(ModuleBase.NetAddr))) return 0;
        return judge(Receive()) ? 1 : 0;
    }
    const auto entry = ViewEntry(index);
    if (!entry || !PortOpen()) return 0;
    TuneToEntry(index);
    const bool ok = Send(build(entry->netAddr)) && judge(Receive());
    // Home again whatever happened on the air.
    TuneHome();
    return ok ? 1 : 0;
}

int CQRVDev::SetIODirAll(int index, std::uint8_t directions) {
    // The local module's acknowledgement is taken on its length alone; a
    // relayed one must also carry status 0.
    const bool requireStatus = index != kLocalModule;
    return IoExchange(
        index, [directions](std::uint16_t addr) { return BuildIoSetDirections(addr, directions); },
        [requireStatus](Answer rx) { return CheckIoSetDirectionsAnswer(rx, requireStatus).Ok(); });
}

int CQRVDev::SetIOValue(int index, std::uint8_t outputs) {
    return IoExchange(
        index, [outputs](std::uint16_t addr) { return BuildIoSetOutputs(addr, outputs); },
        [](Answer rx) { return CheckIoSetOutputsAnswer(rx).Ok(); });
}

int CQRVDev::GetIOValue(int index, std::uint8_t* value) {
    // Nowhere to put the answer: nothing is sent.
    if (value == nullptr) return 0;
    return IoExchange(index, BuildIoReadInputs, [value](Answer rx) {
        std::uint8_t lines = 0;
        if (!ParseIoInputsAnswer(rx, lines).Ok()) return false;
        *value = lines;
        return true;
    });
}

int CQRVDev::GetADValue(int index, std::uint8_t* values) {
    if (values == nullptr) return 0;
    return IoExchange(index, BuildIoReadAd, [values](Answer rx) {
        // Parsed into a local block first: a refused answer leaves the
        // caller's bytes as they were.
        std::uint8_t block[kAdBlockSize];
        if (!ParseAdAnswer(rx, block).Ok()) return false;
        std::memcpy(values, block, kAdBlockSize);
        return true;
    });
}

}  // namespace qrv
