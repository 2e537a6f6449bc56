// The exported port, error and local-module functions. Each Q_Ctx function
// is a thin step onto its context; each flat one forwards to the default
// context. Behaviour lives in SerialPort and CQRVDev.
#include <new>

#include "api/global_data.h"
#include "api/last_failure.h"
#include "qrvlink/qrvlink.h"

using namespace qrv;

namespace {
std::uint32_t U32(int value) { return static_cast<std::uint32_t>(value); }
}  // namespace

extern "C" {

// ---- Contexts ----

QRV_API QRV_CTX* Q_CtxNew(void) { return new (std::nothrow) QRV_CTX; }

QRV_API void Q_CtxFree(QRV_CTX* ctx) { FreeContext(ctx); }

QRV_API int Q_CtxLock(QRV_CTX* ctx) {
    return OnContext(ctx, 0, [](CGlobalData& c) {
        return Finish(c, CodeRule::Untouched, HoldExchanges(c) ? Success() : ExchangeLock::Refused());
    });
}

QRV_API int Q_CtxUnlock(QRV_CTX* ctx) {
    return OnContext(ctx, 0, [](CGlobalData& c) {
        return Finish(c, CodeRule::Untouched,
                      ReleaseExchanges(c) ? Success()
                                          : Failure(Reason::BadArgument, "this thread does not hold the context's lock"));
    });
}

QRV_API int Q_LockExchanges(void) { return Q_CtxLock(DefaultCtx()); }
QRV_API int Q_UnlockExchanges(void) { return Q_CtxUnlock(DefaultCtx()); }

// ---- Port and error ----

QRV_API int Q_CtxOpenCom(QRV_CTX* ctx, const wchar_t* path, int baudRate, int dataBits, int parity, int stopBits,
                         int reserved, int rtsControl, int ctsOutFlow, int dsrOutFlow, int readTimeoutMs) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev&) {
        SerialPort& port = ctx->Serial;
        const int opened = port.Open(path, U32(baudRate), U32(dataBits), U32(parity), U32(stopBits), U32(reserved),
                                     U32(rtsControl), U32(ctsOutFlow), U32(dsrOutFlow), U32(readTimeoutMs));
        // Another port may lead to another module, whose radio is anywhere.
        ctx->Device.ForgetRadio();
        if (opened) ctx->Trace.SetPortName(port.DevicePath());
        return opened ? Success() : port.LastFault();
    });
}

QRV_API int Q_OpenCom(const wchar_t* path, int baudRate, int dataBits, int parity, int stopBits, int reserved,
                      int rtsControl, int ctsOutFlow, int dsrOutFlow, int readTimeoutMs) {
    return Q_CtxOpenCom(DefaultCtx(), path, baudRate, dataBits, parity, stopBits, reserved, rtsControl, ctsOutFlow,
                        dsrOutFlow, readTimeoutMs);
}

// Always 1, except when refused from inside a handler of a running exchange.
QRV_API int Q_CtxCloseCom(QRV_CTX* ctx) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev&) {
        ctx->Serial.Close();
        ctx->Device.ForgetRadio();
        return Success();
    });
}
QRV_API int Q_CloseCom(void) { return Q_CtxCloseCom(DefaultCtx()); }

QRV_API int Q_CtxComCheckOpen(QRV_CTX* ctx) {
    return OnContext(ctx, 0, [](CGlobalData& c) { return c.Serial.IsOpen() ? 1 : 0; });
}
QRV_API int Q_ComCheckOpen(void) { return Q_CtxComCheckOpen(DefaultCtx()); }

QRV_API int Q_CtxGetLastError(QRV_CTX* ctx) {
    return OnContext(ctx, 0, [](CGlobalData& c) { return static_cast<int>(c.LastError.load(std::memory_order_relaxed)); });
}
QRV_API int Q_GetLastError(void) { return Q_CtxGetLastError(DefaultCtx()); }

// ---- Local module ----

QRV_API int Q_CtxQRV_LoadInfo(QRV_CTX* ctx) {
    return Exchanged(ctx, CodeRule::ClearedWithPort, [](CQRVDev& d) { return d.LoadInfo(); });
}
QRV_API int Q_QRV_LoadInfo(void) { return Q_CtxQRV_LoadInfo(DefaultCtx()); }

QRV_API int Q_CtxQRV_GetPropertyAll(QRV_CTX* ctx, ModuleBase* base, ModuleProperty* property) {
    return Exchanged(ctx, CodeRule::ClearedWithPort, [&](CQRVDev& d) { return d.GetPropertyAll(base, property); });
}
QRV_API int Q_QRV_GetPropertyAll(ModuleBase* base, ModuleProperty* property) {
    return Q_CtxQRV_GetPropertyAll(DefaultCtx(), base, property);
}

QRV_API int Q_CtxQRV_SetLocalPropertyAll(QRV_CTX* ctx, const ModuleBase* /*ignored*/, const ModuleProperty* property) {
    return Exchanged(ctx, CodeRule::Untouched, [&](CQRVDev& d) { return d.SetLocalPropertyAll(property); });
}
QRV_API int Q_QRV_SetLocalPropertyAll(const ModuleBase* ignored, const ModuleProperty* property) {
    return Q_CtxQRV_SetLocalPropertyAll(DefaultCtx(), ignored, property);
}

QRV_API int Q_CtxQRV_GetProperty(QRV_CTX* ctx, int number, void* destination, int size) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.GetProperty(number, destination, size); });
}
QRV_API int Q_QRV_GetProperty(int number, void* destination, int size) {
    return Q_CtxQRV_GetProperty(DefaultCtx(), number, destination, size);
}

QRV_API int Q_CtxQRV_SetProperty(QRV_CTX* ctx, int number, const void* value, int size) {
    return Exchanged(ctx, CodeRule::Cleared, [&](CQRVDev& d) { return d.SetProperty(number, value, size); });
}
QRV_API int Q_QRV_SetProperty(int number, const void* value, int size) {
    return Q_CtxQRV_SetProperty(DefaultCtx(), number, value, size);
}

QRV_API int Q_CtxQRV_SubmitInfo(QRV_CTX* ctx) {
    return Exchanged(ctx, CodeRule::Cleared, [](CQRVDev& d) { return d.SubmitInfo(); });
}
QRV_API int Q_QRV_SubmitInfo(void) { return Q_CtxQRV_SubmitInfo(DefaultCtx()); }

QRV_API int Q_CtxQRV_ResetDev(QRV_CTX* ctx) {
    return Exchanged(ctx, CodeRule::Untouched, [](CQRVDev& d) { return d.ResetDev(); });
}
QRV_API int Q_QRV_ResetDev(void) { return Q_CtxQRV_ResetDev(DefaultCtx()); }

QRV_API int Q_CtxQRV_ResetToDefault(QRV_CTX* ctx) {
    return Exchanged(ctx, CodeRule::Untouched, [](CQRVDev& d) { return d.ResetToDefault(); });
}
QRV_API int Q_QRV_ResetToDefault(void) { return Q_CtxQRV_ResetToDefault(DefaultCtx()); }

QRV_API void Q_CtxSetMessageHandler(QRV_CTX* ctx, Q_MessageHandler handler, void* user) {
    OnContext(ctx, 0, [&](CGlobalData& c) {
        c.Messages.Set(handler, user);
        return 0;
    });
}
QRV_API void Q_SetMessageHandler(Q_MessageHandler handler, void* user) {
    Q_CtxSetMessageHandler(DefaultCtx(), handler, user);
}

QRV_API int Q_CtxSetTolerantReads(QRV_CTX* ctx, int on) {
    return OnContext(ctx, 0, [on](CGlobalData& c) { return c.Device.TolerantReads.exchange(on != 0) ? 1 : 0; });
}
QRV_API int Q_SetTolerantReads(int on) { return Q_CtxSetTolerantReads(DefaultCtx(), on); }

QRV_API int Q_CtxSetLazyTuning(QRV_CTX* ctx, int on) {
    return OnContext(ctx, 0, [on](CGlobalData& c) { return c.Device.LazyTuning.exchange(on != 0) ? 1 : 0; });
}
QRV_API int Q_SetLazyTuning(int on) { return Q_CtxSetLazyTuning(DefaultCtx(), on); }

}  // extern "C"
