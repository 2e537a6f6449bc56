// The exported search, far-module, IO and firmware functions. Each Q_Ctx
// function is a thin step onto its context's device; each flat one forwards
// to the default context.
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
Outcome NoLocalThroughRemote(CQRVDev& device, int index) { return BadIndex(index, device.Found.Count()); }

// The upgrade's messages and progress go to the context's handlers;
// messages without a handler go to standard error.
class HandlerListener final : public UpgradeListener {
public:
    explicit HandlerListener(CGlobalData& context) : context_(context) {}
    void Message(int kind, const std::string& text) override {
        const bool shown = context_.Messages.Call(
            [&](Q_MessageHandler handler, void* user) { handler(kind, text.c_str(), user); });
        if (!shown) std::fprintf(stderr, "Qrvlink: %s\n", text.c_str());
    }
    void Progress(int done, int total) override {
        context_.Progress.Call([&](Q_ProgressHandler handler, void* user) { handler(user, done, total); });
    }

private:
    CGlobalData& context_;
};

}  // namespace

extern "C" {

// ---- Search ----

QRV_API int Q_CtxQRV_SearchDev(QRV_CTX* ctx, int channel, int rate) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.SearchDev(channel, rate); });
}
QRV_API int Q_QRV_SearchDev(int channel, int rate) { return Q_CtxQRV_SearchDev(DefaultCtx(), channel, rate); }

QRV_API int Q_CtxQRV_SearchDevByAddr(QRV_CTX* ctx, int channel, int rate, int address) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.SearchDevByAddr(channel, rate, address); });
}
QRV_API int Q_QRV_SearchDevByAddr(int channel, int rate, int address) {
    return Q_CtxQRV_SearchDevByAddr(DefaultCtx(), channel, rate, address);
}

// The list's own guard only: usable while a search appends on another thread.
QRV_API void Q_CtxQRV_ClearSearchArr(QRV_CTX* ctx) {
    OnContext(ctx, 0, [](CGlobalData& c) {
        c.LastError.store(Q_ERR_NONE, std::memory_order_relaxed);
        c.Device.Found.Clear();
        return 0;
    });
}
QRV_API void Q_QRV_ClearSearchArr(void) { Q_CtxQRV_ClearSearchArr(DefaultCtx()); }

QRV_API int Q_CtxQRV_GetSearchDevCount(QRV_CTX* ctx) {
    return OnContext(ctx, 0, [](CGlobalData& c) {
        c.LastError.store(Q_ERR_NONE, std::memory_order_relaxed);
        return c.Device.Found.Count();
    });
}
QRV_API int Q_QRV_GetSearchDevCount(void) { return Q_CtxQRV_GetSearchDevCount(DefaultCtx()); }

// Reserved in the interface: the arguments are ignored and nothing happens.
QRV_API int Q_QRV_GetSerarchDevProperty(int /*index*/, int /*number*/, void* /*destination*/, int /*size*/) {
    return 0;
}

QRV_API int Q_CtxQRV_GetRemoteDevBase(QRV_CTX* ctx, ModuleBase* base, int index) {
    return OnContext(ctx, 0, [&](CGlobalData& c) {
        return Finish(c, CodeRule::Untouched, c.Device.GetRemoteDevBase(base, index));
    });
}
QRV_API int Q_QRV_GetRemoteDevBase(ModuleBase* base, int index) {
    return Q_CtxQRV_GetRemoteDevBase(DefaultCtx(), base, index);
}

QRV_API int Q_CtxQRV_TuneHome(QRV_CTX* ctx) {
    return Exchanged(ctx, CodeRule::Cleared, [](CQRVDev& d) { return d.ReturnHome(); });
}
QRV_API int Q_QRV_TuneHome(void) { return Q_CtxQRV_TuneHome(DefaultCtx()); }

// ---- Far modules ----

QRV_API int Q_CtxQRV_LoadRemoteDevInfo(QRV_CTX* ctx, int index) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.LoadRemoteDevInfo(index); });
}
QRV_API int Q_QRV_LoadRemoteDevInfo(int index) { return Q_CtxQRV_LoadRemoteDevInfo(DefaultCtx(), index); }

QRV_API int Q_CtxQRV_GetRemoteDevPropertyAll(QRV_CTX* ctx, ModuleProperty* property, int index) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.GetRemoteDevPropertyAll(property, index); });
}
QRV_API int Q_QRV_GetRemoteDevPropertyAll(ModuleProperty* property, int index) {
    return Q_CtxQRV_GetRemoteDevPropertyAll(DefaultCtx(), property, index);
}

QRV_API int Q_CtxQRV_GetRemoteDevProperty(QRV_CTX* ctx, int index, int number, void* destination, int size) {
    return Exchanged(ctx, CodeRule::Cleared,
                     [&](CQRVDev& d) { return d.GetRemoteDevProperty(index, number, destination, size); });
}
QRV_API int Q_QRV_GetRemoteDevProperty(int index, int number, void* destination, int size) {
    return Q_CtxQRV_GetRemoteDevProperty(DefaultCtx(), index, number, destination, size);
}

QRV_API int Q_CtxQRV_SetRemoteDevProperty(QRV_CTX* ctx, int index, int number, const void* value, int size) {
    return Exchanged(ctx, CodeRule::Cleared,
                     [&](CQRVDev& d) { return d.SetRemoteDevProperty(index, number, value, size); });
}
QRV_API int Q_QRV_SetRemoteDevProperty(int index, int number, const void* value, int size) {
    return Q_CtxQRV_SetRemoteDevProperty(DefaultCtx(), index, number, value, size);
}

QRV_API int Q_CtxQRV_SetRemotePropertyAll(QRV_CTX* ctx, const ModuleProperty* property, int index) {
    return Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) { return d.SetRemotePropertyAll(property, index); });
}
QRV_API int Q_QRV_SetRemotePropertyAll(const ModuleProperty* property, int index) {
    return Q_CtxQRV_SetRemotePropertyAll(DefaultCtx(), property, index);
}

QRV_API int Q_CtxQRV_SubmitRemoteDevInfo(QRV_CTX* ctx, int index) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.SubmitRemoteDevInfo(index); });
}
QRV_API int Q_QRV_SubmitRemoteDevInfo(int index) { return Q_CtxQRV_SubmitRemoteDevInfo(DefaultCtx(), index); }

QRV_API int Q_CtxQRV_ResetRemoteDev(QRV_CTX* ctx, int index) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.ResetRemoteDev(index); });
}
QRV_API int Q_QRV_ResetRemoteDev(int index) { return Q_CtxQRV_ResetRemoteDev(DefaultCtx(), index); }

QRV_API int Q_CtxQRV_ResetRemoteToDefault(QRV_CTX* ctx, int index) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.ResetRemoteToDefault(index); });
}
QRV_API int Q_QRV_ResetRemoteToDefault(int index) { return Q_CtxQRV_ResetRemoteToDefault(DefaultCtx(), index); }

// ---- Wireless IO and AD (-1 is the local module) ----

QRV_API int Q_CtxQRV_SetIODirAllLocal(QRV_CTX* ctx, int directions) {
    return Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) { return d.SetIODirAll(-1, LowByte(directions)); });
}
QRV_API int Q_QRV_SetIODirAllLocal(int directions) { return Q_CtxQRV_SetIODirAllLocal(DefaultCtx(), directions); }

QRV_API int Q_CtxQRV_SetIODirAllRemote(QRV_CTX* ctx, int index, int directions) {
    return Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(d, index) : d.SetIODirAll(index, LowByte(directions));
    });
}
QRV_API int Q_QRV_SetIODirAllRemote(int index, int directions) {
    return Q_CtxQRV_SetIODirAllRemote(DefaultCtx(), index, directions);
}

QRV_API int Q_CtxQRV_SetIOValueLocal(QRV_CTX* ctx, int outputs) {
    return Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) { return d.SetIOValue(-1, LowByte(outputs)); });
}
QRV_API int Q_QRV_SetIOValueLocal(int outputs) { return Q_CtxQRV_SetIOValueLocal(DefaultCtx(), outputs); }

QRV_API int Q_CtxQRV_SetIOValueRemote(QRV_CTX* ctx, int index, int outputs) {
    return Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(d, index) : d.SetIOValue(index, LowByte(outputs));
    });
}
QRV_API int Q_QRV_SetIOValueRemote(int index, int outputs) {
    return Q_CtxQRV_SetIOValueRemote(DefaultCtx(), index, outputs);
}

QRV_API uint8_t Q_CtxQRV_GetIOvalueLocal(QRV_CTX* ctx, uint8_t* value, int /*length*/) {
    return static_cast<uint8_t>(
        Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) { return d.GetIOValue(-1, value); }));
}
QRV_API uint8_t Q_QRV_GetIOvalueLocal(uint8_t* value, int length) {
    return Q_CtxQRV_GetIOvalueLocal(DefaultCtx(), value, length);
}

QRV_API uint8_t Q_CtxQRV_GetIOvalueRemote(QRV_CTX* ctx, int index, uint8_t* value, int /*length*/) {
    return static_cast<uint8_t>(Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(d, index) : d.GetIOValue(index, value);
    }));
}
QRV_API uint8_t Q_QRV_GetIOvalueRemote(int index, uint8_t* value, int length) {
    return Q_CtxQRV_GetIOvalueRemote(DefaultCtx(), index, value, length);
}

QRV_API uint16_t Q_CtxQRV_GetADvalueLocal(QRV_CTX* ctx, uint8_t* values, int /*length*/) {
    return static_cast<uint16_t>(
        Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) { return d.GetADValue(-1, values); }));
}
QRV_API uint16_t Q_QRV_GetADvalueLocal(uint8_t* values, int length) {
    return Q_CtxQRV_GetADvalueLocal(DefaultCtx(), values, length);
}

QRV_API uint16_t Q_CtxQRV_GetADvalueRemote(QRV_CTX* ctx, int index, uint8_t* values, int /*length*/) {
    return static_cast<uint16_t>(Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) {
        return index < 0 ? NoLocalThroughRemote(d, index) : d.GetADValue(index, values);
    }));
}
QRV_API uint16_t Q_QRV_GetADvalueRemote(int index, uint8_t* values, int length) {
    return Q_CtxQRV_GetADvalueRemote(DefaultCtx(), index, values, length);
}

// ---- Firmware ----

QRV_API int Q_CtxQRV_UpdateWithFileNameLocal(QRV_CTX* ctx, const wchar_t* path, int runState, int address,
                                             int devType) {
    return Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) {
        HandlerListener listener(*ctx);
        return d.UpdateWithFile(path, LowByte(runState), LowWord(address), LowWord(devType), listener);
    });
}
QRV_API int Q_QRV_UpdateWithFileNameLocal(const wchar_t* path, int runState, int address, int devType) {
    return Q_CtxQRV_UpdateWithFileNameLocal(DefaultCtx(), path, runState, address, devType);
}

// Reserved in the interface: the arguments are ignored and nothing happens.
QRV_API int Q_QRV_UpdateWithFileNameRemote(int /*a*/, int /*b*/, int /*c*/, int /*d*/, int /*e*/) { return 0; }

}  // extern "C"
