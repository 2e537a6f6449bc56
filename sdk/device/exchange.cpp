// The exchange primitives: one request, the command's fixed pause, one read,
// and the answer judged before anything is stored. No retries at this level.
#include "device/qrv_dev.h"
#include "records/module_records.h"

namespace qrv {

using namespace protocol;

int CQRVDev::ReadBaseInfo() {
    if (!PortOpen()) return 0;
    // The write's outcome is not examined: only the answer decides.
    Send(BuildReadBaseInfo());
    Pause(kWaitReadBaseInfoMs);
    ::ModuleBase base{};
    if (!ParseBaseInfoAnswer(Receive(), base).Ok()) return 0;
    ModuleBase = base;
    return 1;
}

int CQRVDev::ReadProperty(std::uint16_t addr, std::uint8_t offset, std::uint8_t length, ModuleProperty& out) {
    if (!PortOpen()) return 0;
    Send(BuildReadProperty(addr, offset, length));
    Pause(kWaitReadPropertyMs);
    ModuleProperty record{};
    if (!ParsePropertyAnswer(Receive(), record).Ok()) return 0;
    out = record;
    return 1;
}

int CQRVDev::WriteProperty(ModuleProperty record) {
    if (!PortOpen()) return 0;
    if (!Send(BuildWriteProperty(ModuleBase.NetAddr, record))) return 0;
    return CheckWritePropertyAnswer(Receive()).Ok() ? 1 : 0;
}

int CQRVDev::ResetModule(std::uint16_t addr, std::uint16_t type, int index) {
    // A far module's reset is relayed: tune to it first, and come home
    // whatever happens. The module restarts, so no answer is read.
    const bool relayed = index != -1;
    if (relayed) TuneToEntry(index);
    const bool sent = Send(BuildResetModule(addr, type));
    if (sent) Pause(kWaitAfterResetMs);
    if (relayed) TuneHome();
    return sent ? 1 : 0;
}

int CQRVDev::FactoryReset() {
    if (!PortOpen()) return 0;
    if (!Send(BuildFactoryReset(ModuleBase.NetAddr, ModuleBase.DevType))) return 0;
    Pause(kWaitFactoryResetMs);
    if (!CheckFactoryResetAnswer(Receive()).Ok()) return 0;
    if (!ResetModule(ModuleBase.NetAddr, ModuleBase.DevType, -1)) return 0;
    // The cached records no longer describe the module.
    Loaded = 0;
    return 1;
}

int CQRVDev::TuneChannel(int channel, int rate) {
    if (!PortOpen()) return 0;
    // Channel and rate travel as one byte each, unchecked.
    Send(BuildTuneRadio(static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(rate)));
    Pause(kWaitTuneMs);
    return CheckTuneAnswer(Receive()).Ok() ? 1 : 0;
}

int CQRVDev::TuneToEntry(int index) {
    // A copy taken under the guard: the entry may be cleared meanwhile.
    const auto entry = ViewEntry(index);
    if (!entry) return 0;
    return TuneChannel(entry->channel, entry->rate);
}

int CQRVDev::TuneHome() { return TuneChannel(CurProperty.Channel, CurProperty.AirRate); }

}  // namespace qrv
