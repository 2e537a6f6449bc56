// Configuring a far module over the air. The local module relays the same
// frames it takes for itself once its radio is on the far module's channel
// and rate; each operation decides where the radio goes afterwards.
#include <cstring>

#include "device/qrv_dev.h"
#include "records/module_records.h"

namespace qrv {

using namespace protocol;

namespace {
// Every export here clears the code, then names a bad index with 105.
bool AcceptIndex(const CQRVDev& device, int index, std::int32_t& lastError) {
    lastError = Q_ERR_NONE;
    if (device.IsValidIndex(index)) return true;
    lastError = Q_ERR_BAD_INDEX;
    return false;
}
}  // namespace

int CQRVDev::LoadRemoteDevInfo(int index, std::int32_t& lastError) {
    if (!AcceptIndex(*this, index, lastError)) return 0;
    if (!TuneToEntry(index)) {
        TuneHome();
        return 0;
    }
    const auto entry = ViewEntry(index);
    if (!entry) return 0;
    // The radio stays on the entry's pair whatever the read gives: the next
    // operation tunes where it needs to.
    ModuleProperty record{};
    if (!ReadProperty(entry->netAddr, kPropertyOffsetAll, kPropertyLengthAll, record)) return 0;
    const bool stored = UpdateEntry(index, [&record](CQRVDev& e) {
        e.CurProperty = record;
        e.PendingProperty = record;
        // The address stays the one the module was found on; the record
        // brings its type, state and version.
        e.ModuleBase.DevType = record.DevType;
        e.ModuleBase.RunState = record.RunState;
        e.ModuleBase.FwVersion = record.FwVersion;
        e.Loaded = 1;
    });
    return stored ? 1 : 0;
}

int CQRVDev::GetRemoteDevPropertyAll(ModuleProperty* out, int index, std::int32_t& lastError) {
    const int result = LoadRemoteDevInfo(index, lastError);
    // The caller gets the entry's record as the load left it, whatever its result.
    if (out == nullptr) return result;
    if (const auto entry = ViewEntry(index)) std::memcpy(out, &entry->current, sizeof *out);
    return result;
}

int CQRVDev::GetRemoteDevProperty(int index, int number, void* destination, int size, std::int32_t& lastError) {
    if (!AcceptIndex(*this, index, lastError)) return 0;
    const auto entry = ViewEntry(index);
    if (!entry || !entry->loaded) {
        lastError = Q_ERR_NOT_LOADED;
        return 0;
    }
    // Nowhere to write: nothing fits.
    const int code = destination == nullptr ? kPropertyTextTooLong
                                            : GetPropertyByNumber(entry->current, number, destination, size);
    if (code != kPropertyOk) {
        lastError = code;
        return 0;
    }
    return 1;
}

int CQRVDev::SetRemoteDevProperty(int index, int number, const void* value, int size, std::int32_t& lastError) {
    if (!AcceptIndex(*this, index, lastError)) return 0;
    int code = kPropertyOk;
    UpdateEntry(index, [&](CQRVDev& e) { code = SetPropertyByNumber(number, value, size, e.PendingProperty); });
    if (code != kPropertyOk) {
        lastError = code;
        return 0;
    }
    return 1;
}

int CQRVDev::SetRemotePropertyAll(const ModuleProperty* property, int index) {
    if (property == nullptr) return 0;
    const ModuleProperty record = *property;
    return UpdateEntry(index, [&record](CQRVDev& e) { e.PendingProperty = record; }) ? 1 : 0;
}

int CQRVDev::SubmitRemoteDevInfo(int index, std::int32_t& lastError) {
    if (!AcceptIndex(*this, index, lastError)) return 0;
    if (!PortOpen()) return 0;
    TuneToEntry(index);
    const auto entry = ViewEntry(index);
    if (!entry) return 0;
    // On a refused write the radio stays on the entry's pair; the restart
    // below brings it home.
    const ModuleProperty submitted = entry->pending;
    if (!Send(BuildWriteProperty(entry->netAddr, submitted))) return 0;
    if (!CheckWritePropertyAnswer(Receive()).Ok()) return 0;
    if (!ResetModule(entry->netAddr, entry->devType, index)) return 0;
    // After its restart the module lives at the record's address, channel
    // and rate: the entry follows it there.
    const bool moved = UpdateEntry(index, [&submitted](CQRVDev& e) {
        e.ModuleBase.NetAddr = submitted.LocalAddr;
        e.FoundChannel = submitted.Channel;
        e.FoundRate = submitted.AirRate;
        e.CurProperty = submitted;
    });
    return moved ? 1 : 0;
}

int CQRVDev::ResetRemoteDev(int index, std::int32_t& lastError) {
    if (!AcceptIndex(*this, index, lastError)) return 0;
    const auto entry = ViewEntry(index);
    if (!entry) return 0;
    return ResetModule(entry->netAddr, entry->devType, index);
}

int CQRVDev::ResetRemoteToDefault(int index, std::int32_t& lastError) {
    if (!AcceptIndex(*this, index, lastError)) return 0;
    if (!PortOpen()) return 0;
    TuneToEntry(index);
    const auto entry = ViewEntry(index);
    bool done = false;
    if (entry && Send(BuildFactoryReset(entry->netAddr, entry->devType))) {
        Pause(kWaitFactoryResetMs);
        // The relayed restart tunes to the entry and home by itself.
        done = CheckFactoryResetAnswer(Receive()).Ok() && ResetModule(entry->netAddr, entry->devType, index) &&
               UpdateEntry(index, [](CQRVDev& e) { e.Loaded = 0; });
    }
    TuneHome();
    return done ? 1 : 0;
}

}  // namespace qrv
