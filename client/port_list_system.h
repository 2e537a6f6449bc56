// The platform's half of the port listing (port_list_posix.cpp,
// port_list_win32.cpp); port_list.cpp orders and merges what they find.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/port_list.h"

namespace qrv::client {

// System ports in the order the platform lists them (by path on Linux,
// by number on Windows).
std::vector<PortInfo> SystemPorts(const PortListPlaces& places);
std::vector<PortInfo> SimulatorPorts(const std::string& directory);

// The chip of a USB serial adapter whose product text does not name it
// ("CH340" for 1A86:7523); empty when unknown.
std::string KnownChipName(std::uint16_t vendor, std::uint16_t product);

}  // namespace qrv::client
