// The exported search, far-module, IO and firmware functions. Each is a thin
// step onto the global device object.
#include <cstdio>

#include "api/global_data.h"
#include "api/last_failure.h"
#include "qrvlink/qrvlink.h"

using namespace qrv;

namespace {

std::uint8_t LowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint16_t LowWord(int value) { return static_cast<std::uint16_t>(value & 0xFFFF); }

// Remote IO exports refuse index -1 themselves: the device takes it for the
// local module.
Outcome NoLocalThroughRemote(int index) { return BadIndex(index, Global().Device.Found.Count()); }

// The upgrade's messages and progress go to the caller's handlers; messages
// without a handler go to standard error.
class HandlerListener final : public UpgradeListener {
public:
    void Message(int kind, const std::string& text) override {
        const bool shown = Global().Messages.Call(
            [&](Q_MessageHandler handler, void* user) { handler(kind, text.c_str(), user); });
        if (!shown) std::fprintf(stderr, "Qrvlink: %s\n", text.c_str());
    }
    void Progress(int done, int total) override {
        Global().Progress.Call([&](Q_ProgressHandler handler, void* user) { handler(user, done, total); });
    }
};

}  // namespace

extern "C" {

// ---- Search ----

QRV_API int Q_QRV_SearchDev(int channel, int rate) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.SearchDev(channel, rate); });
}

QRV_API int Q_QRV_SearchDevByAddr(int channel, int rate, int address) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.SearchDevByAddr(channel, rate, address); });
}

// The list's own guard only: usable while a search appends on another thread.
QRV_API void Q_QRV_ClearSearchArr(void) {
    Global().LastError.store(Q_ERR_NONE, std::memory_order_relaxed);
    Global().Device.Found.Clear();
}

QRV_API int Q_QRV_GetSearchDevCount(void) {
    Global().LastError.store(Q_ERR_NONE, std::memory_order_relaxed);
    return Global().Device.Found.Count();
}

// Reserved in the interface: the arguments are ignored and nothing happens.
QRV_API int Q_QRV_GetSerarchDevProperty(int /*index*/, int /*number*/, void* /*destination*/, int /*size*/) {
    return 0;
}

QRV_API int Q_QRV_GetRemoteDevBase(ModuleBase* base, int index) {
    return Finish(CodeRule::Untouched, Global().Device.GetRemoteDevBase(base, index));
}

// ---- Far modules ----

QRV_API int Q_QRV_LoadRemoteDevInfo(int index) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.LoadRemoteDevInfo(index); });
}

QRV_API int Q_QRV_GetRemoteDevPropertyAll(ModuleProperty* property, int index) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.GetRemoteDevPropertyAll(property, index); });
}

QRV_API int Q_QRV_GetRemoteDevProperty(int index, int number, void* destination, int size) {
    return Exchanged(CodeRule::Cleared,
                     [&](CQRVDev& d) { return d.GetRemoteDevProperty(index, number, destination, size); });
}

QRV_API int Q_QRV_SetRemoteDevProperty(int index, int number, const void* value, int size) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.SetRemoteDevProperty(index, number, value, size); });
}

QRV_API int Q_QRV_SetRemotePropertyAll(const ModuleProperty* property, int index) {
    return Exchanged(CodeRule::Untouched, [&](CQRVDev& d) { return d.SetRemotePropertyAll(property, index); });
}

QRV_API int Q_QRV_SubmitRemoteDevInfo(int index) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.SubmitRemoteDevInfo(index); });
}

QRV_API int Q_QRV_ResetRemoteDev(int index) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.ResetRemoteDev(index); });
}

QRV_API int Q_QRV_ResetRemoteToDefault(int index) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.ResetRemoteToDefault(index); });
}

// ---- Wireless IO and AD (-1 is the local module) ----

QRV_API int Q_QRV_SetIODirAllLocal(int directions) {
    return Exchanged(CodeRule::Untouched, [&](CQRVDev& d) { return d.SetIODirAll(-1, LowByte(directions)); });
}

QRV_API int Q_QRV_SetIODirAllRemote(int index, int directions) {
    return Exchanged(CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(index) : d.SetIODirAll(index, LowByte(directions));
    });
}

QRV_API int Q_QRV_SetIOValueLocal(int outputs) {
    return Exchanged(CodeRule::Untouched, [&](CQRVDev& d) { return d.SetIOValue(-1, LowByte(outputs)); });
}

QRV_API int Q_QRV_SetIOValueRemote(int index, int outputs) {
    return Exchanged(CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(index) : d.SetIOValue(index, LowByte(outputs));
    });
}

QRV_API uint8_t Q_QRV_GetIOvalueLocal(uint8_t* value, int /*length*/) {
    return static_cast<uint8_t>(Exchanged(CodeRule::Untouched, [&](CQRVDev& d) { return d.GetIOValue(-1, value); }));
}

QRV_API uint8_t Q_QRV_GetIOvalueRemote(int index, uint8_t* value, int /*length*/) {
    return static_cast<uint8_t>(Exchanged(CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(index) : d.GetIOValue(index, value);
    }));
}

QRV_API uint16_t Q_QRV_GetADvalueLocal(uint8_t* values, int /*length*/) {
    return static_cast<uint16_t>(Exchanged(CodeRule::Untouched, [&](CQRVDev& d) { return d.GetADValue(-1, values); }));
}

QRV_API uint16_t Q_QRV_GetADvalueRemote(int index, uint8_t* values, int /*length*/) {
    return static_cast<uint16_t>(Exchanged(CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(index) : d.GetADValue(index, values);
    }));
}

// ---- Firmware ----

QRV_API int Q_QRV_UpdateWithFileNameLocal(const wchar_t* path, int runState, int address, int devType) {
    return Exchanged(CodeRule::Untouched, [&](CQRVDev& d) {
        HandlerListener listener;
        return d.UpdateWithFile(path, LowByte(runState), LowWord(address), LowWord(devType), listener);
    });
}

// Reserved in the interface: the arguments are ignored and nothing happens.
QRV_API int Q_QRV_UpdateWithFileNameRemote(int /*a*/, int /*b*/, int /*c*/, int /*d*/, int /*e*/) { return 0; }

}  // extern "C"
