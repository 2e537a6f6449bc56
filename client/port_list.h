// The serial ports a user can pick from: the system's (from sysfs on Linux,
// SetupAPI and the registry on Windows, with the USB adapter behind each)
// and the ports module simulators announce.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/status.h"

namespace qrv::client {

struct PortInfo {
    std::string path;                      // /dev/ttyUSB0 or COM5, or the announced link
    std::optional<std::uint16_t> usbVendor;
    std::optional<std::uint16_t> usbProduct;
    std::string description;               // "CH340", "FT232R", the USB product text or the driver
    std::string manufacturer;              // USB manufacturer text, if any
    std::string driver;                    // kernel driver (ch341-uart, ftdi_sio, serial8250)
    std::string serialNumber;              // the USB adapter's serial number, if it has one
    std::string byId;                      // its /dev/serial/by-id/... name, which stays put across plugging
    bool accessible = false;               // this user may open it for reading and writing
    bool simulated = false;                // announced by a module simulator
};

// Where simulators announce their ports: $XDG_RUNTIME_DIR/qrvsim, or
// /tmp/qrvsim-<uid> without a runtime directory (none on Windows).
std::string SimulatorPortDirectory();

struct PortListPlaces {
    std::string sysClassTty = "/sys/class/tty";
    std::string devDirectory = "/dev";
    std::string simulatorDirectory = SimulatorPortDirectory();
    std::string serialById = "/dev/serial/by-id";
};

// System ports, then the simulators' ports sorted by path.
std::vector<PortInfo> ListPorts(const PortListPlaces& places = {});

// The ports that --port options name, in the order given: a path stands for
// itself, "all" for every listed port this user can open, "serial:SN" for
// the adapter with that USB serial number. A port named twice is taken once:
// two stations on one port would write one module with two plan rows.
Status SelectPorts(const std::vector<std::string>& given, const std::vector<PortInfo>& listed,
                   std::vector<std::string>& out);

}  // namespace qrv::client
