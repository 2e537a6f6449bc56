#include "client/port_list.h"

#include <algorithm>

#include "client/port_list_system.h"

namespace qrv::client {

namespace {

struct KnownChip {
    std::uint16_t vendor, product;
    const char* name;
};
constexpr KnownChip kKnownChips[] = {
    {0x1A86, 0x7523, "CH340"},  {0x1A86, 0x5523, "CH341"},  {0x1A86, 0x55D4, "CH9102"},
    {0x0403, 0x6001, "FT232R"}, {0x0403, 0x6010, "FT2232"}, {0x0403, 0x6014, "FT232H"},
    {0x0403, 0x6015, "FT230X"}, {0x10C4, 0xEA60, "CP210x"}, {0x067B, 0x2303, "PL2303"},
};

void SortByPath(std::vector<PortInfo>& ports) {
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) { return a.path < b.path; });
}

}  // namespace

std::string KnownChipName(std::uint16_t vendor, std::uint16_t product) {
    for (const KnownChip& chip : kKnownChips)
        if (chip.vendor == vendor && chip.product == product) return chip.name;
    return {};
}

std::vector<PortInfo> ListPorts(const PortListPlaces& places) {
    std::vector<PortInfo> ports = SystemPorts(places);
    std::vector<PortInfo> simulated = SimulatorPorts(places.simulatorDirectory);
    SortByPath(simulated);
    ports.insert(ports.end(), simulated.begin(), simulated.end());
    return ports;
}

Status SelectPorts(const std::vector<std::string>& given, const std::vector<PortInfo>& listed,
                   std::vector<std::string>& out) {
    const auto take = [&out](const std::string& path) {
        if (std::find(out.begin(), out.end(), path) == out.end()) out.push_back(path);
    };
    for (const std::string& p : given) {
        if (p == "all") {
            if (std::none_of(listed.begin(), listed.end(), [](const PortInfo& i) { return i.accessible; }))
                return Status::Fail(Outcome::Port, "--port all: no serial port this user can open");
            for (const PortInfo& info : listed)
                if (info.accessible) take(info.path);
            continue;
        }
        if (p.rfind("serial:", 0) == 0) {
            const std::string serial = p.substr(7);
            const auto match = [&serial](const PortInfo& i) { return !serial.empty() && i.serialNumber == serial; };
            if (std::none_of(listed.begin(), listed.end(), match))
                return Status::Fail(Outcome::Port, "no adapter with the serial number \"" + serial + "\"");
            for (const PortInfo& info : listed)
                if (match(info)) take(info.path);
            continue;
        }
        take(p);
    }
    return {};
}

}  // namespace qrv::client
