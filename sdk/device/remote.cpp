// Configuring a far module over the air. The local module relays the same
// frames it takes for itself once its radio is on the far module's channel
// and rate; each operation decides where the radio goes afterwards.
#include <cstring>

#include "device/qrv_dev.h"
#include "records/module_records.h"

namespace qrv {

using namespace protocol;

Outcome CQRVDev::LoadRemoteDevInfo(int index) {
    if (!Found.IsValid(index)) return BadIndex(index, Found.Count());
    if (Outcome tuned = TuneToEntry(index); !tuned.Ok()) {
        TuneHome();
        return tuned;
    }
    const auto entry = Found.View(index);
    if (!entry) return BadIndex(index, Found.Count());
    // The radio stays on the entry's pair whatever the read gives: the next
    // operation tunes where it needs to.
    ModuleProperty record{};
    if (Outcome read = ReadProperty(entry->base.NetAddr, kPropertyOffsetAll, kPropertyLengthAll, record); !read.Ok())
        return read;
    const bool stored = Found.Update(index, [&record](SearchEntry& e) {
        e.current = record;
        e.pending = record;
        // The address stays the one the module was found on; the record
        // brings its type, state and version.
        e.base.DevType = record.DevType;
        e.base.RunState = record.RunState;
        e.base.FwVersion = record.FwVersion;
        e.loaded = 1;
    });
    return stored ? Success() : BadIndex(index, Found.Count());
}

Outcome CQRVDev::GetRemoteDevPropertyAll(ModuleProperty* out, int index) {
    Outcome loaded = LoadRemoteDevInfo(index);
    // The caller gets the entry's record as the load left it, whatever its result.
    if (out == nullptr) return loaded;
    if (const auto entry = Found.View(index)) std::memcpy(out, &entry->current, sizeof *out);
    return loaded;
}

Outcome CQRVDev::GetRemoteDevProperty(int index, int number, void* destination, int size) {
    const auto entry = Found.View(index);
    if (!entry) return BadIndex(index, Found.Count());
    if (!entry->loaded) return Failure(Reason::NotLoaded, Printf("search entry %d has not been read yet", index));
    return ReadNumbered(entry->current, number, destination, size);
}

Outcome CQRVDev::SetRemoteDevProperty(int index, int number, const void* value, int size) {
    Outcome written = Success();
    if (!Found.Update(index, [&](SearchEntry& e) { written = WriteNumbered(number, value, size, e.pending); }))
        return BadIndex(index, Found.Count());
    return written;
}

Outcome CQRVDev::SetRemotePropertyAll(const ModuleProperty* property, int index) {
    if (property == nullptr) return Failure(Reason::BadArgument, "no property record given");
    const ModuleProperty record = *property;
    if (!Found.Update(index, [&record](SearchEntry& e) { e.pending = record; })) return BadIndex(index, Found.Count());
    return Success();
}

Outcome CQRVDev::SubmitRemoteDevInfo(int index) {
    if (!Found.IsValid(index)) return BadIndex(index, Found.Count());
    if (!port_.IsOpen()) return PortClosed();
    TuneToEntry(index);
    const auto entry = Found.View(index);
    if (!entry) return BadIndex(index, Found.Count());
    // On a refused write the radio stays on the entry's pair; the restart
    // below brings it home.
    const ModuleProperty submitted = entry->pending;
    if (Outcome sent = Send(BuildWriteProperty(entry->base.NetAddr, submitted)); !sent.Ok()) return sent;
    const Reply reply = Receive(ConfigKey(kCmdWriteProperty));
    if (Outcome judged = Judge(ConfigKey(kCmdWriteProperty), reply, CheckWritePropertyAnswer(reply.answer));
        !judged.Ok())
        return judged;
    if (Outcome reset = ResetModule(entry->base.NetAddr, entry->base.DevType, index); !reset.Ok()) return reset;
    // After its restart the module lives at the record's address, channel
    // and rate: the entry follows it there.
    const bool moved = Found.Update(index, [&submitted](SearchEntry& e) {
        e.base.NetAddr = submitted.LocalAddr;
        e.foundChannel = submitted.Channel;
        e.foundRate = submitted.AirRate;
        e.current = submitted;
    });
    return moved ? Success() : BadIndex(index, Found.Count());
}

Outcome CQRVDev::ResetRemoteDev(int index) {
    const auto entry = Found.View(index);
    if (!entry) return BadIndex(index, Found.Count());
    return ResetModule(entry->base.NetAddr, entry->base.DevType, index);
}

Outcome CQRVDev::ResetRemoteToDefault(int index) {
    if (!Found.IsValid(index)) return BadIndex(index, Found.Count());
    if (!port_.IsOpen()) return PortClosed();
    TuneToEntry(index);
    const auto entry = Found.View(index);
    Outcome done = entry ? Send(BuildFactoryReset(entry->base.NetAddr, entry->base.DevType))
                         : BadIndex(index, Found.Count());
    if (done.Ok()) done = Pause(kWaitFactoryResetMs);
    if (done.Ok()) {
        const Reply reply = Receive(ConfigKey(kCmdFactoryReset));
        done = Judge(ConfigKey(kCmdFactoryReset), reply, CheckFactoryResetAnswer(reply.answer));
    }
    // The relayed restart tunes to the entry and home by itself.
    if (done.Ok()) done = ResetModule(entry->base.NetAddr, entry->base.DevType, index);
    if (done.Ok() && !Found.Update(index, [](SearchEntry& e) { e.loaded = 0; })) done = BadIndex(index, Found.Count());
    TuneHome();
    return done;
}

}  // namespace qrv
