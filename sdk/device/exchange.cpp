// The exchange primitives: one request, the command's fixed pause, one read,
// and the answer judged before anything is stored. No retries at this level.
// A lost port ends every step at once: its pauses and reads fail fast.
#include "device/qrv_dev.h"
#include "records/module_records.h"

namespace qrv {

using namespace protocol;

Outcome CQRVDev::ReadBaseInfo() {
    if (!port_.IsOpen()) return PortClosed();
    // The write's outcome is not examined: only the answer decides.
    Send(BuildReadBaseInfo());
    if (Outcome paused = Pause(kWaitReadBaseInfoMs); !paused.Ok()) return paused;
    ::ModuleBase base{};
    const Reply reply = Receive(ConfigKey(kCmdReadBaseInfo));
    Outcome judged = Judge(ConfigKey(kCmdReadBaseInfo), reply, ParseBaseInfoAnswer(reply.answer, base));
    if (judged.Ok()) ModuleBase = base;
    return judged;
}

Outcome CQRVDev::ReadProperty(std::uint16_t addr, std::uint8_t offset, std::uint8_t length, ModuleProperty& out) {
    if (!port_.IsOpen()) return PortClosed();
    Send(BuildReadProperty(addr, offset, length));
    if (Outcome paused = Pause(kWaitReadPropertyMs); !paused.Ok()) return paused;
    ModuleProperty record{};
    const Reply reply = Receive(ConfigKey(kCmdReadProperty));
    Outcome judged = Judge(ConfigKey(kCmdReadProperty), reply, ParsePropertyAnswer(reply.answer, record));
    if (judged.Ok()) out = record;
    return judged;
}

Outcome CQRVDev::WriteProperty(ModuleProperty record) {
    if (!port_.IsOpen()) return PortClosed();
    if (Outcome sent = Send(BuildWriteProperty(ModuleBase.NetAddr, record)); !sent.Ok()) return sent;
    const Reply reply = Receive(ConfigKey(kCmdWriteProperty));
    return Judge(ConfigKey(kCmdWriteProperty), reply, CheckWritePropertyAnswer(reply.answer));
}

Outcome CQRVDev::ResetModule(std::uint16_t addr, std::uint16_t type, int index) {
    // A far module's reset is relayed: tune to it first, and come home
    // whatever happens. The module restarts, so no answer is read; the
    // reset counts as done once its frame is written (a hang-up during the
    // pause shows at the next exchange).
    const bool relayed = index != -1;
    if (relayed) TuneToEntry(index);
    // The local module comes back from its restart on its record's pair;
    // a far one restarted without tuning (an upgrade) leaves the radio be.
    if (!relayed && (!Loaded || addr == ModuleBase.NetAddr || addr == CurProperty.LocalAddr)) ForgetRadio();
    Outcome sent = Send(BuildResetModule(addr, type));
    if (sent.Ok()) Pause(kWaitAfterResetMs);
    if (relayed) TuneHome();
    return sent;
}

Outcome CQRVDev::FactoryReset() {
    if (!port_.IsOpen()) return PortClosed();
    if (Outcome sent = Send(BuildFactoryReset(ModuleBase.NetAddr, ModuleBase.DevType)); !sent.Ok()) return sent;
    if (Outcome paused = Pause(kWaitFactoryResetMs); !paused.Ok()) return paused;
    const Reply reply = Receive(ConfigKey(kCmdFactoryReset));
    if (Outcome judged = Judge(ConfigKey(kCmdFactoryReset), reply, CheckFactoryResetAnswer(reply.answer)); !judged.Ok())
        return judged;
    if (Outcome reset = ResetModule(ModuleBase.NetAddr, ModuleBase.DevType, -1); !reset.Ok()) return reset;
    // The cached records no longer describe the module.
    Loaded = 0;
    return Success();
}

Outcome CQRVDev::TuneChannel(int channel, int rate) {
    if (!port_.IsOpen()) return PortClosed();
    // Channel and rate travel as one byte each, unchecked.
    const Pair wanted{static_cast<std::uint8_t>(channel), static_cast<std::uint8_t>(rate)};
    if (LazyTuning.load(std::memory_order_relaxed) && radio_ == wanted) return Success();
    // Until the module acknowledges, the radio may be on either pair.
    radio_.reset();
    Send(BuildTuneRadio(wanted.channel, wanted.rate));
    if (Outcome paused = Pause(kWaitTuneMs); !paused.Ok()) return paused;
    const Reply reply = Receive(ConfigKey(kCmdTuneRadio));
    Outcome judged = Judge(ConfigKey(kCmdTuneRadio), reply, CheckTuneAnswer(reply.answer));
    if (judged.Ok()) radio_ = wanted;
    return judged;
}

Outcome CQRVDev::TuneToEntry(int index) {
    // A copy taken under the guard: the entry may be cleared meanwhile.
    const auto entry = Found.View(index);
    if (!entry) return BadIndex(index, Found.Count());
    return TuneChannel(entry->foundChannel, entry->foundRate);
}

Outcome CQRVDev::TuneHome() { return TuneChannel(CurProperty.Channel, CurProperty.AirRate); }

Outcome CQRVDev::ReturnHome() {
    if (!Loaded) return Failure(Reason::NotLoaded, "the local module has not been read: its own pair is not known");
    return TuneHome();
}

}  // namespace qrv
