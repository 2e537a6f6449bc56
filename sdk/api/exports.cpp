// The exported port, error and local-module functions. Each is a thin step
// onto the global object; behaviour lives in SerialPort and CQRVDev.
#include <atomic>

#include "api/global_data.h"
#include "qrvlink/qrvlink.h"

using qrv::GlobalData;

namespace {
std::uint32_t U32(int value) { return static_cast<std::uint32_t>(value); }
}  // namespace

extern "C" {

QRV_API int Q_OpenCom(const wchar_t* path, int baudRate, int dataBits, int parity, int stopBits, int reserved,
                      int rtsControl, int ctsOutFlow, int dsrOutFlow, int readTimeoutMs) {
    auto& g = GlobalData();
    g.LastError = Q_ERR_NONE;
    return g.Serial.Open(path, U32(baudRate), U32(dataBits), U32(parity), U32(stopBits), U32(reserved),
                         U32(rtsControl), U32(ctsOutFlow), U32(dsrOutFlow), U32(readTimeoutMs));
}

QRV_API int Q_CloseCom(void) {
    auto& g = GlobalData();
    g.LastError = Q_ERR_NONE;
    g.Serial.Close();
    return 1;
}

QRV_API int Q_ComCheckOpen(void) { return GlobalData().Serial.IsOpen() ? 1 : 0; }

// Atomic: the search dialog's timer clears the code from another thread.
QRV_API int Q_GetLastError(void) { return std::atomic_ref(GlobalData().LastError).load(std::memory_order_relaxed); }

// The search sweep starts with this call on its worker thread while the
// search dialog's timer clears the code on the window thread: stored atomically.
QRV_API int Q_QRV_LoadInfo(void) {
    auto& g = GlobalData();
    std::int32_t code = Q_ERR_NONE;
    const int result = g.Device.LoadInfo(code);
    std::atomic_ref(g.LastError).store(code, std::memory_order_relaxed);
    return result;
}

QRV_API int Q_QRV_GetPropertyAll(ModuleBase* base, ModuleProperty* property) {
    auto& g = GlobalData();
    return g.Device.GetPropertyAll(base, property, g.LastError);
}

QRV_API int Q_QRV_SetLocalPropertyAll(const ModuleBase* /*ignored*/, const ModuleProperty* property) {
    return GlobalData().Device.SetLocalPropertyAll(property);
}

QRV_API int Q_QRV_GetProperty(int number, void* destination, int size) {
    auto& g = GlobalData();
    return g.Device.GetProperty(number, destination, size, g.LastError);
}

QRV_API int Q_QRV_SetProperty(int number, const void* value, int size) {
    auto& g = GlobalData();
    return g.Device.SetProperty(number, value, size, g.LastError);
}

QRV_API int Q_QRV_SubmitInfo(void) {
    auto& g = GlobalData();
    return g.Device.SubmitInfo(g.LastError);
}

QRV_API int Q_QRV_ResetDev(void) { return GlobalData().Device.ResetDev(); }

QRV_API int Q_QRV_ResetToDefault(void) { return GlobalData().Device.ResetToDefault(); }

}  // extern "C"

extern "C" QRV_API void Q_SetMessageHandler(Q_MessageHandler handler, void* user) {
    auto& messages = GlobalData().Device.Messages;
    messages.handler = handler;
    messages.user = user;
}
