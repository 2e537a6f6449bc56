#include "records/field_table.h"

#include <cstddef>

namespace qrv {

namespace {

// The module's text fields are 16 bytes: 15 of text and the terminator.
constexpr std::int64_t kTextBytes = sizeof(ModuleProperty::DevName) - 1;

constexpr std::uint32_t kEditable = QRV_FIELD_WRITABLE | QRV_FIELD_FAR;

constexpr FieldChoice kWorkModes[] = {
    {"host", 0, 0},        {"terminal", 1, 1},          {"host-relay", 2, 2}, {"terminal-relay", 3, 3},
    {"acquisition", 4, 4}, {"acquisition-relay", 5, 5}, {"linked-io", 6, 6},
};
constexpr FieldChoice kAirRates[] = {{"250K", 0, 0}, {"500K", 1, 1}, {"1M", 2, 2}};
// 3 and 4 force the parity bit to 0 and to 1: space and mark parity.
constexpr FieldChoice kParities[] = {
    {"none", 0, 0}, {"odd", 1, 1}, {"even", 2, 2}, {"space", 3, 3}, {"mark", 4, 4},
};
constexpr FieldChoice kBauds[] = {
    {"1200", 1200, 0},   {"2400", 2400, 1},   {"4800", 4800, 2},     {"9600", 9600, 3},     {"19200", 19200, 4},
    {"38400", 38400, 5}, {"57600", 57600, 6}, {"115200", 115200, 7}, {"230400", 230400, 8}, {"460800", 460800, 9},
};
// Strongest first, as the module numbers its power steps.
constexpr FieldChoice kTxPowers[] = {
    {"8", 8, 0x02},     {"7", 7, 0x03},     {"6", 6, 0x04},     {"5", 5, 0x05},     {"4", 4, 0x06},
    {"3", 3, 0x07},     {"2", 2, 0x08},     {"1", 1, 0x09},     {"0", 0, 0x0A},     {"-5", -5, 0x0B},
    {"-7", -7, 0x0C},   {"-10", -10, 0x0D}, {"-15", -15, 0x0E}, {"-20", -20, 0x0F}, {"-30", -30, 0x10},
    {"-40", -40, 0x11}, {"-50", -50, 0x12},
};
constexpr FieldChoice kRunStates[] = {{"boot", 0x55, 0x55}, {"user", 0xAA, 0xAA}};
constexpr FieldChoice kDeviceTypes[] = {
    {"boot", 0x00, 0x00}, {"qrv", 0x10, 0x10}, {"korvanet", 0x11, 0x11}, {"vlx-io", 0x12, 0x12},
};

#define QRV_AT(member) static_cast<std::uint32_t>(offsetof(ModuleProperty, member)), sizeof(ModuleProperty::member)

// Writable fields in the order tables and profiles list them, the password
// last; then what is only read.
constexpr FieldRow kRows[] = {
    {"name", 1, QRV_AT(DevName), QRV_FIELD_TEXT, kEditable, 0, kTextBytes, {}, "",
     "device name (UTF-8, at most 15 bytes as GBK)"},
    {"work-mode", 3, QRV_AT(WorkMode), QRV_FIELD_NAMED, kEditable, 0, 0, kWorkModes, "", "network role"},
    {"channel", 4, QRV_AT(Channel), QRV_FIELD_NUMBER, kEditable, 6, 30, {}, "",
     "radio channel (2350 + 5 x channel MHz)"},
    {"net-id", 5, QRV_AT(NetId), QRV_FIELD_NUMBER, kEditable | QRV_FIELD_HEX, 0, 0xFFFF, {}, "", "network number"},
    {"local-address", 6, QRV_AT(LocalAddr), QRV_FIELD_NUMBER, kEditable | QRV_FIELD_HEX, 0, 0xFFFF, {}, "",
     "the module's own address"},
    {"dest-address", 7, QRV_AT(DestAddr), QRV_FIELD_NUMBER, kEditable | QRV_FIELD_HEX, 0, 0xFFFF, {}, "",
     "destination address"},
    {"air-rate", 8, QRV_AT(AirRate), QRV_FIELD_NAMED, kEditable, 0, 0, kAirRates, "", "air data rate"},
    {"tx-power", 9, QRV_AT(TxPower), QRV_FIELD_CODED, kEditable, 0, 0, kTxPowers, "dBm", "transmit power in dBm"},
    {"retry-count", 10, QRV_AT(RetryCount), QRV_FIELD_NUMBER, kEditable, 0, 255, {}, "", "send retries"},
    {"retry-interval", 11, QRV_AT(RetryInterval), QRV_FIELD_NUMBER, kEditable, 0, 0xFFFF, {}, "ms",
     "time between retries"},
    {"uart-baud", 12, QRV_AT(UartBaud), QRV_FIELD_CODED, kEditable, 0, 0, kBauds, "", "the module's serial rate"},
    {"uart-data-bits", 13, QRV_AT(UartDataBits), QRV_FIELD_NUMBER, kEditable, 5, 8, {}, "", "the module's data bits"},
    {"uart-stop-bits", 15, QRV_AT(UartStopBits), QRV_FIELD_NUMBER, kEditable, 1, 2, {}, "", "the module's stop bits"},
    {"uart-parity", 14, QRV_AT(UartParity), QRV_FIELD_NAMED, kEditable, 0, 0, kParities, "", "the module's parity"},
    {"frame-gap", 16, QRV_AT(FrameGap), QRV_FIELD_NUMBER, kEditable, 0, 255, {}, "ms", "frame-splitting interval"},
    {"frame-length", 17, QRV_AT(FrameLen), QRV_FIELD_NUMBER, kEditable, 0, 255, {}, "", "frame-splitting length"},
    {"password", 2, QRV_AT(Password), QRV_FIELD_TEXT, kEditable, 0, kTextBytes, {}, "", "configuration password"},
    // Carried unchanged by every write; nobody sets it.
    {"spare", 18, QRV_AT(Spare51), QRV_FIELD_NUMBER, QRV_FIELD_FAR | QRV_FIELD_HEX, 0, 0xFF, {}, "", "reserved byte"},
    {"run-state", 0, QRV_AT(RunState), QRV_FIELD_NAMED, QRV_FIELD_FAR | QRV_FIELD_HEX, 0, 0, kRunStates, "",
     "boot loader or user firmware running"},
    {"device-type", 0, QRV_AT(DevType), QRV_FIELD_NAMED, QRV_FIELD_FAR | QRV_FIELD_HEX, 0, 0, kDeviceTypes, "",
     "device family"},
    {"firmware-version", 0, QRV_AT(FwVersion), QRV_FIELD_NUMBER, QRV_FIELD_FAR | QRV_FIELD_HEX, 0, 0xFFFF, {}, "",
     "four decimal digits in four nibbles"},
};

#undef QRV_AT

}  // namespace

std::span<const FieldRow> FieldRows() { return kRows; }

const FieldRow* FindFieldRow(std::string_view name) {
    for (const FieldRow& row : kRows)
        if (name == row.name) return &row;
    return nullptr;
}

bool FieldAccepts(const FieldRow& row, std::int64_t value) {
    switch (row.kind) {
        case QRV_FIELD_NUMBER: return value >= row.min && value <= row.max;
        case QRV_FIELD_NAMED:
        case QRV_FIELD_CODED:
            for (const FieldChoice& c : row.choices)
                if (value == c.Code) return true;
            return false;
        default: return false;
    }
}

bool FieldAcceptsText(const FieldRow& row, const char* bytes, std::size_t length) {
    if (row.kind != QRV_FIELD_TEXT || (bytes == nullptr && length > 0)) return false;
    if (static_cast<std::int64_t>(length) > row.max) return false;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

}  // namespace qrv
