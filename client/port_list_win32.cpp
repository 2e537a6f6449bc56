// The system's serial ports on Windows: the Ports device class (SetupAPI)
// gives each port's name, description, maker and USB ids; the SERIALCOMM
// registry key adds ports some drivers create without a Ports device
// (virtual pairs, remote ports).
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <cwchar>

#include "client/port_list_system.h"
#include "text/module_text.h"

namespace qrv::client {

namespace {

std::string Utf8(const std::wstring& wide) {
    const std::string bytes(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    return text::ConvertLenient(bytes, "WCHAR_T", "UTF-8");
}

std::wstring DeviceText(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property) {
    wchar_t buffer[512] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(devices, &device, property, &type, reinterpret_cast<BYTE*>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr))
        return {};
    return buffer;  // for a multi-string (hardware ids) its first string
}

std::wstring PortNameOf(HDEVINFO devices, SP_DEVINFO_DATA& device) {
    HKEY key = SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return {};
    wchar_t name[64] = {};
    DWORD size = sizeof name - sizeof(wchar_t), type = 0;
    const LSTATUS status = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::wstring(name) : std::wstring();
}

// "USB\VID_1A86&PID_7523&REV_0264": the four hex digits after a tag.
std::optional<std::uint16_t> HexAfter(const std::wstring& id, const wchar_t* tag) {
    const std::size_t at = id.find(tag);
    if (at == std::wstring::npos || at + std::wcslen(tag) + 4 > id.size()) return std::nullopt;
    const std::wstring digits = id.substr(at + std::wcslen(tag), 4);
    if (!std::all_of(digits.begin(), digits.end(), iswxdigit)) return std::nullopt;
    return static_cast<std::uint16_t>(std::wcstoul(digits.c_str(), nullptr, 16));
}

// "USB-SERIAL CH340 (COM5)": the port's own name adds nothing in the list.
std::wstring WithoutPortName(std::wstring friendly, const std::wstring& port) {
    const std::wstring suffix = L" (" + port + L")";
    if (friendly.size() > suffix.size() && friendly.compare(friendly.size() - suffix.size(), suffix.size(), suffix) == 0)
        friendly.resize(friendly.size() - suffix.size());
    return friendly;
}

void AddPortsClass(std::vector<PortInfo>& ports) {
    HDEVINFO devices = SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE) return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        const std::wstring name = PortNameOf(devices, device);
        if (name.rfind(L"COM", 0) != 0) continue;  // printer ports (LPT1) share the class
        PortInfo port;
        port.path = Utf8(name);
        const std::wstring hardwareId = DeviceText(devices, device, SPDRP_HARDWAREID);
        port.usbVendor = HexAfter(hardwareId, L"VID_");
        port.usbProduct = HexAfter(hardwareId, L"PID_");
        if (port.usbVendor && port.usbProduct) port.description = KnownChipName(*port.usbVendor, *port.usbProduct);
        if (port.description.empty())
            port.description = Utf8(WithoutPortName(DeviceText(devices, device, SPDRP_FRIENDLYNAME), name));
        port.manufacturer = Utf8(DeviceText(devices, device, SPDRP_MFG));
        port.driver = Utf8(DeviceText(devices, device, SPDRP_SERVICE));
        // Windows has no per-user rights on a COM port: whether it is free
        // shows only when it is opened.
        port.accessible = true;
        ports.push_back(std::move(port));
    }
    SetupDiDestroyDeviceInfoList(devices);
}

void AddSerialComm(std::vector<PortInfo>& ports) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    for (DWORD index = 0;; ++index) {
        wchar_t device[256] = {}, name[64] = {};
        DWORD deviceSize = 255, nameSize = sizeof name - sizeof(wchar_t), type = 0;
        if (RegEnumValueW(key, index, device, &deviceSize, nullptr, &type, reinterpret_cast<BYTE*>(name), &nameSize) !=
            ERROR_SUCCESS)
            break;
        if (type != REG_SZ) continue;
        const std::string path = Utf8(name);
        if (std::any_of(ports.begin(), ports.end(), [&](const PortInfo& p) { return p.path == path; })) continue;
        PortInfo port;
        port.path = path;
        port.driver = Utf8(device);  // \Device\Serial0, \Device\VCP0
        port.accessible = true;
        ports.push_back(std::move(port));
    }
    RegCloseKey(key);
}

}  // namespace

std::vector<PortInfo> SystemPorts(const PortListPlaces&) {
    std::vector<PortInfo> ports;
    AddPortsClass(ports);
    AddSerialComm(ports);
    // COM2 before COM10: by number, as Windows' own dialogs list them.
    std::stable_sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
        return a.path.size() != b.path.size() ? a.path.size() < b.path.size() : a.path < b.path;
    });
    return ports;
}

// The simulator is a POSIX program: on Windows nothing announces ports.
std::vector<PortInfo> SimulatorPorts(const std::string&) { return {}; }

std::string SimulatorPortDirectory() { return {}; }

}  // namespace qrv::client
