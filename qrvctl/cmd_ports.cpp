// ports and detect.
#include "client/detect.h"
#include "client/port_list.h"
#include "qrvctl/command_support.h"

namespace qrvctl {

using namespace qrv::client;

namespace {

std::string UsbId(const PortInfo& port) {
    if (!port.usbVendor || !port.usbProduct) return "-";
    return Hex(*port.usbVendor, 4).substr(2) + ":" + Hex(*port.usbProduct, 4).substr(2);
}

Json OptionalWord(const std::optional<std::uint16_t>& value) { return value ? Json(*value) : Json(nullptr); }

}  // namespace

int RunPorts(const CommonOptions& options) {
    const Printer printer(options.json, options.quiet);
    const std::vector<PortInfo> ports = ListPorts();
    if (printer.Json()) {
        Json list = Json::array();
        for (const PortInfo& p : ports)
            list.push_back(Json{{"path", p.path},
                                {"usb-vendor", OptionalWord(p.usbVendor)},
                                {"usb-product", OptionalWord(p.usbProduct)},
                                {"description", p.description},
                                {"manufacturer", p.manufacturer},
                                {"driver", p.driver},
                                {"readable", p.accessible},
                                {"simulator", p.simulated},
                                {"serial-number", p.serialNumber},
                                {"by-id", p.byId}});
        printer.Document(list);
        return Finish({});
    }
    std::vector<std::vector<std::string>> rows;
    for (const PortInfo& p : ports)
        rows.push_back({p.path, UsbId(p), p.description.empty() ? "-" : p.description, p.accessible ? "yes" : "no",
                        p.serialNumber.empty() ? "-" : p.serialNumber, p.byId.empty() ? "-" : p.byId});
    printer.Table({"PORT", "USB", "DESCRIPTION", "READABLE", "SERIAL", "BY-ID"}, rows);
    return Finish({});
}

int RunDetect(const CommonOptions& options) {
    const Printer printer(options.json, options.quiet);
    std::vector<std::string> ports;
    if (!options.port.empty()) ports.push_back(options.port);
    else
        for (const PortInfo& p : ListPorts())
            if (p.accessible) ports.push_back(p.path);

    Json found = Json::array();
    std::vector<std::vector<std::string>> rows;
    std::string tried;
    for (const PortScan& scan : Detect(ports)) {
        // The one port asked for cannot be used: a port failure, not silence.
        if (!scan.portFailure.Ok() && !options.port.empty()) return Finish(scan.portFailure);
        if (!scan.portFailure.Ok()) printer.Note(scan.portFailure.message);
        tried += (tried.empty() ? "" : ", ") + scan.port + (scan.opened ? "" : " (cannot open)");
        if (!scan.found) continue;
        const Detection& d = *scan.found;
        const std::string name = std::get<std::string>(ReadField(d.module.property, FieldSpecOf(FieldId::Name)));
        found.push_back(Json{{"port", d.port}, {"baud", d.baud}, {"identity", IdentityJson(d.module.base)}, {"name", name}});
        rows.push_back({d.port, std::to_string(d.baud), Hex(d.module.base.NetAddr, 4), DeviceTypeName(d.module.base.DevType),
                        FirmwareVersionText(d.module.base.FwVersion), name});
    }
    if (printer.Json())
        printer.Document(found);
    else if (!rows.empty())
        printer.Table({"PORT", "BAUD", "ADDRESS", "TYPE", "FIRMWARE", "NAME"}, rows);
    if (found.empty())
        return Finish(Status::Fail(Outcome::NoAnswer, "no module answered" + (tried.empty() ? std::string(": no port to try")
                                                                                     : " on " + tried + " at any rate from 460800 to 1200 baud")));
    return Finish({});
}

}  // namespace qrvctl
