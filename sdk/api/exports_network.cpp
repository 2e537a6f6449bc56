// The exported search, far-module, IO and firmware functions. Each is a thin
// step onto the global device object.
#include <atomic>

#include "api/global_data.h"
#include "qrvlink/qrvlink.h"

using qrv::GlobalData;

namespace {
// The search dialog's timer counts and copies entries, clearing the code as
// it goes, while the sweep clears it on another thread: those stores are
// atomic so the two never race.
void ClearLastError() { std::atomic_ref(GlobalData().LastError).store(Q_ERR_NONE, std::memory_order_relaxed); }

std::uint8_t LowByte(int value) { return static_cast<std::uint8_t>(value & 0xFF); }
std::uint16_t LowWord(int value) { return static_cast<std::uint16_t>(value & 0xFFFF); }
}  // namespace

extern "C" {

// ---- Search ----

QRV_API int Q_QRV_SearchDev(int channel, int rate) {
    ClearLastError();
    return GlobalData().Device.SearchDev(channel, rate);
}

QRV_API int Q_QRV_SearchDevByAddr(int channel, int rate, int address) {
    ClearLastError();
    return GlobalData().Device.SearchDevByAddr(channel, rate, address);
}

QRV_API void Q_QRV_ClearSearchArr(void) {
    ClearLastError();
    GlobalData().Device.ClearSearchArr();
}

QRV_API int Q_QRV_GetSearchDevCount(void) {
    ClearLastError();
    return GlobalData().Device.GetSearchDevCount();
}

// Reserved in the interface: the arguments are ignored and nothing happens.
QRV_API int Q_QRV_GetSerarchDevProperty(int /*index*/, int /*number*/, void* /*destination*/, int /*size*/) {
    return 0;
}

QRV_API int Q_QRV_GetRemoteDevBase(ModuleBase* base, int index) {
    return GlobalData().Device.GetRemoteDevBase(base, index);
}

// ---- Far modules ----

QRV_API int Q_QRV_LoadRemoteDevInfo(int index) {
    auto& g = GlobalData();
    return g.Device.LoadRemoteDevInfo(index, g.LastError);
}

QRV_API int Q_QRV_GetRemoteDevPropertyAll(ModuleProperty* property, int index) {
    auto& g = GlobalData();
    return g.Device.GetRemoteDevPropertyAll(property, index, g.LastError);
}

QRV_API int Q_QRV_GetRemoteDevProperty(int index, int number, void* destination, int size) {
    auto& g = GlobalData();
    return g.Device.GetRemoteDevProperty(index, number, destination, size, g.LastError);
}

QRV_API int Q_QRV_SetRemoteDevProperty(int index, int number, const void* value, int size) {
    auto& g = GlobalData();
    return g.Device.SetRemoteDevProperty(index, number, value, size, g.LastError);
}

QRV_API int Q_QRV_SetRemotePropertyAll(const ModuleProperty* property, int index) {
    return GlobalData().Device.SetRemotePropertyAll(property, index);
}

QRV_API int Q_QRV_SubmitRemoteDevInfo(int index) {
    auto& g = GlobalData();
    return g.Device.SubmitRemoteDevInfo(index, g.LastError);
}

QRV_API int Q_QRV_ResetRemoteDev(int index) {
    auto& g = GlobalData();
    return g.Device.ResetRemoteDev(index, g.LastError);
}

QRV_API int Q_QRV_ResetRemoteToDefault(int index) {
    auto& g = GlobalData();
    return g.Device.ResetRemoteToDefault(index, g.LastError);
}

// ---- Wireless IO and AD (-1 is the local module) ----

QRV_API int Q_QRV_SetIODirAllLocal(int directions) { return GlobalData().Device.SetIODirAll(-1, LowByte(directions)); }

QRV_API int Q_QRV_SetIODirAllRemote(int index, int directions) {
    return index < 0 ? 0 : GlobalData().Device.SetIODirAll(index, LowByte(directions));
}

QRV_API int Q_QRV_SetIOValueLocal(int outputs) { return GlobalData().Device.SetIOValue(-1, LowByte(outputs)); }

QRV_API int Q_QRV_SetIOValueRemote(int index, int outputs) {
    return index < 0 ? 0 : GlobalData().Device.SetIOValue(index, LowByte(outputs));
}

QRV_API uint8_t Q_QRV_GetIOvalueLocal(uint8_t* value, int /*length*/) {
    return static_cast<uint8_t>(GlobalData().Device.GetIOValue(-1, value));
}

QRV_API uint8_t Q_QRV_GetIOvalueRemote(int index, uint8_t* value, int /*length*/) {
    return index < 0 ? 0 : static_cast<uint8_t>(GlobalData().Device.GetIOValue(index, value));
}

QRV_API uint16_t Q_QRV_GetADvalueLocal(uint8_t* values, int /*length*/) {
    return static_cast<uint16_t>(GlobalData().Device.GetADValue(-1, values));
}

QRV_API uint16_t Q_QRV_GetADvalueRemote(int index, uint8_t* values, int /*length*/) {
    return index < 0 ? 0 : static_cast<uint16_t>(GlobalData().Device.GetADValue(index, values));
}

// ---- Firmware ----

QRV_API int Q_QRV_UpdateWithFileNameLocal(const wchar_t* path, int runState, int address, int devType) {
    return GlobalData().Device.UpdateWithFile(path, LowByte(runState), LowWord(address), LowWord(devType));
}

// Reserved in the interface: the arguments are ignored and nothing happens.
QRV_API int Q_QRV_UpdateWithFileNameRemote(int /*a*/, int /*b*/, int /*c*/, int /*d*/, int /*e*/) { return 0; }

}  // extern "C"
