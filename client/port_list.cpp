#include "client/port_list.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "client/fields.h"

namespace qrv::client {

namespace fs = std::filesystem;

namespace {

// Chips whose USB product text does not name them.
struct KnownChip {
    std::uint16_t vendor, product;
    const char* name;
};
constexpr KnownChip kKnownChips[] = {
    {0x1A86, 0x7523, "CH340"},  {0x1A86, 0x5523, "CH341"},  {0x1A86, 0x55D4, "CH9102"},
    {0x0403, 0x6001, "FT232R"}, {0x0403, 0x6010, "FT2232"}, {0x0403, 0x6014, "FT232H"},
    {0x0403, 0x6015, "FT230X"}, {0x10C4, 0xEA60, "CP210x"}, {0x067B, 0x2303, "PL2303"},
};

std::string ReadLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::optional<std::uint16_t> ReadHexWord(const fs::path& file) {
    const std::string text = ReadLine(file);
    const std::optional<std::int64_t> value = ParseInteger("0x" + text);
    if (text.empty() || !value || *value > 0xFFFF) return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

bool Accessible(const std::string& path) { return access(path.c_str(), R_OK | W_OK) == 0; }

// Newer kernels put a serial-core "port" device (under a "ctrl" one)
// between the tty and the UART's own device: the driver worth naming is
// the first one above those.
std::string DriverName(const fs::path& device) {
    std::error_code error;
    fs::path dir = fs::canonical(device, error);
    for (int up = 0; !error && up < 4 && dir.has_relative_path(); ++up, dir = dir.parent_path()) {
        const std::string name = fs::read_symlink(dir / "driver", error).filename().string();
        if (error) {
            error.clear();
            continue;
        }
        if (name != "port" && name != "ctrl") return name;
    }
    return {};
}

// The USB device is a few folders above the tty's device (the interface,
// and for usb-serial the port in between); it is the one with idVendor.
void ReadUsb(const fs::path& device, PortInfo& port) {
    std::error_code error;
    fs::path dir = fs::canonical(device, error);
    for (int up = 0; !error && up < 4 && dir.has_relative_path(); ++up, dir = dir.parent_path()) {
        if (!fs::exists(dir / "idVendor")) continue;
        port.usbVendor = ReadHexWord(dir / "idVendor");
        port.usbProduct = ReadHexWord(dir / "idProduct");
        port.manufacturer = ReadLine(dir / "manufacturer");
        port.serialNumber = ReadLine(dir / "serial");
        const std::string product = ReadLine(dir / "product");
        for (const KnownChip& chip : kKnownChips)
            if (port.usbVendor == chip.vendor && port.usbProduct == chip.product) port.description = chip.name;
        if (port.description.empty()) port.description = product;
        return;
    }
}

std::vector<PortInfo> SystemPorts(const PortListPlaces& places) {
    std::vector<PortInfo> ports;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(places.sysClassTty, error)) {
        const fs::path tty = entry.path();
        // Virtual terminals and ptys have no device behind them.
        if (!fs::exists(tty / "device")) continue;
        // A serial-core port without a UART reports type 0 (the ttyS placeholders).
        if (fs::exists(tty / "type") && ReadLine(tty / "type") == "0") continue;
        PortInfo port;
        port.path = places.devDirectory + "/" + tty.filename().string();
        port.driver = DriverName(tty / "device");
        ReadUsb(tty / "device", port);
        if (port.description.empty()) port.description = port.driver;
        port.accessible = Accessible(port.path);
        ports.push_back(std::move(port));
    }
    return ports;
}

std::vector<PortInfo> SimulatorPorts(const std::string& directory) {
    std::vector<PortInfo> ports;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory, error)) {
        // Only links and terminal devices are ports; a simulator may keep other files there.
        if (!entry.is_symlink(error) && !entry.is_character_file(error)) continue;
        PortInfo port;
        port.path = entry.path().string();
        port.simulated = true;
        port.description = "module simulator";
        if (entry.is_symlink(error)) port.description += " (" + fs::read_symlink(entry.path(), error).string() + ")";
        port.accessible = Accessible(port.path);
        ports.push_back(std::move(port));
    }
    return ports;
}

void SortByPath(std::vector<PortInfo>& ports) {
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) { return a.path < b.path; });
}

}  // namespace

std::string SimulatorPortDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return std::string(runtime) + "/qrvsim";
    return "/tmp/qrvsim-" + std::to_string(getuid());
}

std::vector<PortInfo> ListPorts(const PortListPlaces& places) {
    std::vector<PortInfo> ports = SystemPorts(places);
    SortByPath(ports);
    std::vector<PortInfo> simulated = SimulatorPorts(places.simulatorDirectory);
    SortByPath(simulated);
    ports.insert(ports.end(), simulated.begin(), simulated.end());
    return ports;
}

}  // namespace qrv::client
