// Commands on the local module, the one on the serial port.
#include <cstring>

#include "device/qrv_dev.h"
#include "records/module_records.h"

namespace qrv {

int CQRVDev::LoadInfo(std::int32_t& lastError) {
    lastError = Q_ERR_NONE;
    if (!PortOpen()) {
        lastError = Q_ERR_PORT_NOT_OPEN;
        return 0;
    }
    if (!ReadBaseInfo()) return 0;
    // A refused record leaves the new identity in place and Loaded as it was.
    ModuleProperty record{};
    if (!ReadProperty(ModuleBase.NetAddr, protocol::kPropertyOffsetAll, protocol::kPropertyLengthAll, record))
        return 0;
    CurProperty = record;
    PendingProperty = record;
    Loaded = 1;
    return 1;
}

int CQRVDev::GetPropertyAll(::ModuleBase* base, ModuleProperty* property, std::int32_t& lastError) {
    const int result = LoadInfo(lastError);
    // The caller gets the records as the load left them, whatever its result.
    if (property != nullptr) std::memcpy(property, &CurProperty, sizeof CurProperty);
    if (base != nullptr) std::memcpy(base, &ModuleBase, sizeof ModuleBase);
    return result;
}

int CQRVDev::SetLocalPropertyAll(const ModuleProperty* property) {
    // A null record is refused rather than reported as taken.
    if (property == nullptr) return 0;
    std::memcpy(&PendingProperty, property, sizeof PendingProperty);
    return 1;
}

int CQRVDev::GetProperty(int number, void* destination, int size, std::int32_t& lastError) {
    lastError = Q_ERR_NONE;
    if (!Loaded) {
        lastError = Q_ERR_NOT_LOADED;
        return 0;
    }
    // Nowhere to write: nothing fits.
    const int code = destination == nullptr ? kPropertyTextTooLong
                                            : GetPropertyByNumber(CurProperty, number, destination, size);
    if (code != kPropertyOk) {
        lastError = code;
        return 0;
    }
    return 1;
}

int CQRVDev::SetProperty(int number, const void* value, int size, std::int32_t& lastError) {
    lastError = Q_ERR_NONE;
    if (!Loaded) {
        lastError = Q_ERR_NOT_LOADED;
        return 0;
    }
    const int code = SetPropertyByNumber(number, value, size, PendingProperty);
    if (code != kPropertyOk) {
        lastError = code;
        return 0;
    }
    return 1;
}

int CQRVDev::SubmitInfo(std::int32_t& lastError) {
    lastError = Q_ERR_NONE;
    if (!Loaded) {
        lastError = Q_ERR_NOT_LOADED;
        return 0;
    }
    if (!PortOpen()) return 0;
    // The record goes to the address the module answers on now; the restart
    // is addressed to the LocalAddr it had before this change.
    const std::uint16_t oldAddr = CurProperty.LocalAddr;
    const ModuleProperty submitted = PendingProperty;
    if (!WriteProperty(submitted)) return 0;
    if (!ResetModule(oldAddr, ModuleBase.DevType, -1)) return 0;
    CurProperty = submitted;
    ModuleBase.NetAddr = submitted.LocalAddr;
    return 1;
}

int CQRVDev::ResetDev() { return ResetModule(CurProperty.LocalAddr, ModuleBase.DevType, -1); }

int CQRVDev::ResetToDefault() { return FactoryReset(); }

}  // namespace qrv
