// The exported port, error and local-module functions. Each is a thin step
// onto the global object; behaviour lives in SerialPort and CQRVDev.
#include "api/global_data.h"
#include "api/last_failure.h"
#include "qrvlink/qrvlink.h"

using namespace qrv;

namespace {
std::uint32_t U32(int value) { return static_cast<std::uint32_t>(value); }
}  // namespace

extern "C" {

QRV_API int Q_OpenCom(const wchar_t* path, int baudRate, int dataBits, int parity, int stopBits, int reserved,
                      int rtsControl, int ctsOutFlow, int dsrOutFlow, int readTimeoutMs) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev&) {
        SerialPort& port = Global().Serial;
        const int opened = port.Open(path, U32(baudRate), U32(dataBits), U32(parity), U32(stopBits), U32(reserved),
                                     U32(rtsControl), U32(ctsOutFlow), U32(dsrOutFlow), U32(readTimeoutMs));
        return opened ? Success() : port.LastFault();
    });
}

// Always 1, except when refused from inside a handler of a running exchange.
QRV_API int Q_CloseCom(void) {
    return Exchanged(CodeRule::Cleared, [](CQRVDev&) {
        Global().Serial.Close();
        return Success();
    });
}

QRV_API int Q_ComCheckOpen(void) { return Global().Serial.IsOpen() ? 1 : 0; }

QRV_API int Q_GetLastError(void) { return Global().LastError.load(std::memory_order_relaxed); }

QRV_API int Q_QRV_LoadInfo(void) {
    return Exchanged(CodeRule::ClearedWithPort, [](CQRVDev& d) { return d.LoadInfo(); });
}

QRV_API int Q_QRV_GetPropertyAll(ModuleBase* base, ModuleProperty* property) {
    return Exchanged(CodeRule::ClearedWithPort, [&](CQRVDev& d) { return d.GetPropertyAll(base, property); });
}

QRV_API int Q_QRV_SetLocalPropertyAll(const ModuleBase* /*ignored*/, const ModuleProperty* property) {
    return Exchanged(CodeRule::Untouched, [&](CQRVDev& d) { return d.SetLocalPropertyAll(property); });
}

QRV_API int Q_QRV_GetProperty(int number, void* destination, int size) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.GetProperty(number, destination, size); });
}

QRV_API int Q_QRV_SetProperty(int number, const void* value, int size) {
    return Exchanged(CodeRule::Cleared, [&](CQRVDev& d) { return d.SetProperty(number, value, size); });
}

QRV_API int Q_QRV_SubmitInfo(void) {
    return Exchanged(CodeRule::Cleared, [](CQRVDev& d) { return d.SubmitInfo(); });
}

QRV_API int Q_QRV_ResetDev(void) {
    return Exchanged(CodeRule::Untouched, [](CQRVDev& d) { return d.ResetDev(); });
}

QRV_API int Q_QRV_ResetToDefault(void) {
    return Exchanged(CodeRule::Untouched, [](CQRVDev& d) { return d.ResetToDefault(); });
}

QRV_API void Q_SetMessageHandler(Q_MessageHandler handler, void* user) { Global().Messages.Set(handler, user); }

QRV_API int Q_SetTolerantReads(int on) { return Global().Device.TolerantReads.exchange(on != 0) ? 1 : 0; }

}  // extern "C"
