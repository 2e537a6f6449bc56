// Commands on the local module, the one on the serial port.
#include <cstring>

#include "device/qrv_dev.h"
#include "records/module_records.h"

namespace qrv {

namespace {

Outcome NotLoaded() { return Failure(Reason::NotLoaded, "no property record has been read yet"); }

// The numbered read's result code as an outcome.
Outcome PropertyCode(int code, int number, int size) {
    switch (code) {
        case kPropertyOk:
            return Success();
        case kPropertyTextTooLong:
            return Failure(Reason::TextTooLong, Printf("property %d does not fit in %d bytes", number, size));
        default:
            return Failure(Reason::NoSuchProperty, Printf("no property %d; they are numbered %d to %d", number,
                                                          kFirstPropertyNumber, kLastPropertyNumber));
    }
}

}  // namespace

// Shared with the far modules' numbered read.
Outcome ReadNumbered(const ModuleProperty& record, int number, void* destination, int size) {
    // Nowhere to write: nothing fits.
    const int code =
        destination == nullptr ? kPropertyTextTooLong : GetPropertyByNumber(record, number, destination, size);
    return PropertyCode(code, number, size);
}

Outcome WriteNumbered(int number, const void* value, int size, ModuleProperty& record) {
    return PropertyCode(SetPropertyByNumber(number, value, size, record), number, size);
}

Outcome CQRVDev::LoadInfo() {
    if (!port_.IsOpen()) return PortClosed();
    if (Outcome base = ReadBaseInfo(); !base.Ok()) return base;
    // A refused record leaves the new identity in place and Loaded as it was.
    ModuleProperty record{};
    if (Outcome read = ReadProperty(ModuleBase.NetAddr, protocol::kPropertyOffsetAll, protocol::kPropertyLengthAll,
                                    record);
        !read.Ok())
        return read;
    CurProperty = record;
    PendingProperty = record;
    Loaded = 1;
    if (!radio_) radio_ = Pair{record.Channel, record.AirRate};
    return Success();
}

Outcome CQRVDev::GetPropertyAll(::ModuleBase* base, ModuleProperty* property) {
    Outcome loaded = LoadInfo();
    // The caller gets the records as the load left them, whatever its result.
    if (property != nullptr) std::memcpy(property, &CurProperty, sizeof CurProperty);
    if (base != nullptr) std::memcpy(base, &ModuleBase, sizeof ModuleBase);
    return loaded;
}

Outcome CQRVDev::SetLocalPropertyAll(const ModuleProperty* property) {
    // A null record is refused rather than reported as taken.
    if (property == nullptr) return Failure(Reason::BadArgument, "no property record given");
    std::memcpy(&PendingProperty, property, sizeof PendingProperty);
    return Success();
}

Outcome CQRVDev::GetProperty(int number, void* destination, int size) {
    if (!Loaded) return NotLoaded();
    return ReadNumbered(CurProperty, number, destination, size);
}

Outcome CQRVDev::SetProperty(int number, const void* value, int size) {
    if (!Loaded) return NotLoaded();
    return WriteNumbered(number, value, size, PendingProperty);
}

Outcome CQRVDev::SubmitInfo() {
    if (!Loaded) return NotLoaded();
    if (!port_.IsOpen()) return PortClosed();
    // The record goes to the address the module answers on now; the restart
    // is addressed to the LocalAddr it had before this change.
    const std::uint16_t oldAddr = CurProperty.LocalAddr;
    const ModuleProperty submitted = PendingProperty;
    if (Outcome written = WriteProperty(submitted); !written.Ok()) return written;
    if (Outcome reset = ResetModule(oldAddr, ModuleBase.DevType, -1); !reset.Ok()) return reset;
    CurProperty = submitted;
    ModuleBase.NetAddr = submitted.LocalAddr;
    radio_ = Pair{submitted.Channel, submitted.AirRate};
    return Success();
}

Outcome CQRVDev::ResetDev() { return ResetModule(CurProperty.LocalAddr, ModuleBase.DevType, -1); }

Outcome CQRVDev::ResetToDefault() { return FactoryReset(); }

}  // namespace qrv
