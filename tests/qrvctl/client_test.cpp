// The client layer without a module: field values, profiles, port listing.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "client/fields.h"
#include "client/port_list.h"
#include "client/profile.h"

namespace qrv::client {
namespace {

namespace fs = std::filesystem;

TEST(Fields, AssignmentsAreCheckedAgainstTheirField) {
    const struct {
        const char* text;
        bool ok;
        const char* field;  // of the record, as read back
        FieldValue value;
    } rows[] = {
        {"air-rate=1m", true, "air-rate", std::string("1M")},
        {"uart-parity=even", true, "uart-parity", std::string("even")},
        {"tx-power=-5dBm", true, "tx-power", std::int64_t{-5}},
        {"uart-baud=115200", true, "uart-baud", std::int64_t{115200}},
        {"net-id=0x1F", true, "net-id", std::int64_t{0x1F}},
        {"name=本地主机", true, "name", std::string("本地主机")},
        {"channel=5", false, "channel", {}},
        {"tx-power=-6", false, "tx-power", {}},
        {"uart-baud=14400", false, "uart-baud", {}},
        {"local-address=0x10000", false, "local-address", {}},
        {"name=0123456789abcdef", false, "name", {}},
        {"password=\U0001F600", false, "password", {}},  // no GBK form
        {"channel", false, "channel", {}},
        {"colour=red", false, "colour", {}},
    };
    for (const auto& row : rows) {
        Assignment a;
        const Status st = ParseAssignment(row.text, a);
        EXPECT_EQ(st.Ok(), row.ok) << row.text << ": " << st.message;
        if (!row.ok) {
            EXPECT_EQ(st.outcome, Outcome::Usage);
            EXPECT_NE(st.message.find(row.field), std::string::npos) << st.message;
            continue;
        }
        ModuleProperty record{};
        ASSERT_TRUE(WriteField(record, *a.field, a.value).Ok()) << row.text;
        EXPECT_EQ(ReadField(record, *FindField(row.field)), row.value) << row.text;
    }
}

TEST(Fields, CodesWithoutANameComeOutRawAndAreNotTakenBack) {
    ModuleProperty record{};
    record.UartBaud = 12;
    record.TxPower = 0x20;
    EXPECT_EQ(ReadField(record, FieldSpecOf(FieldId::UartBaud)), FieldValue(std::string("0x0C")));
    EXPECT_EQ(ReadField(record, FieldSpecOf(FieldId::TxPower)), FieldValue(std::string("0x20")));
    EXPECT_FALSE(WriteField(record, FieldSpecOf(FieldId::UartBaud), std::string("0x0C")).Ok());
    EXPECT_EQ(record.UartBaud, 12);
}

TEST(Profiles, RoundTripAndRefusals) {
    ModuleProperty record{};
    ASSERT_TRUE(WriteField(record, FieldSpecOf(FieldId::Name), std::string("车间")).Ok());
    record.Channel = 26;
    record.AirRate = 2;
    record.TxPower = 0x0B;
    record.UartBaud = 7;
    record.UartDataBits = 8;
    record.UartStopBits = 1;
    std::strcpy(record.Password, "123456");
    const Profile saved = ProfileFromRecord(ModuleBase{}, record, false);
    Profile loaded;
    ASSERT_TRUE(ProfileFromJson(ProfileToJson(saved), loaded).Ok());
    EXPECT_EQ(loaded.fields.size(), 16u);  // no password unless asked for
    ModuleProperty applied{};
    ASSERT_TRUE(ApplyProfile(loaded, applied).Ok());
    EXPECT_TRUE(CompareProfile(loaded, applied).empty());
    EXPECT_EQ(applied.Channel, 26);
    EXPECT_EQ(applied.Password[0], '\0');

    const struct {
        const char* json;
        const char* mentions;
    } bad[] = {
        {"[]", "object"},
        {R"({"format": "other", "version": 1, "fields": {}})", "format"},
        {R"({"format": "qrvlink-profile", "version": 2, "fields": {}})", "version 2"},
        {R"({"format": "qrvlink-profile", "version": 1, "fields": {"colour": 1}})", "colour"},
        {R"({"format": "qrvlink-profile", "version": 1, "fields": {"channel": 40}})", "channel"},
        {R"({"format": "qrvlink-profile", "version": 1, "fields": {"air-rate": 2}})", "air-rate"},
    };
    for (const auto& row : bad) {
        Profile p;
        const Status st = ProfileFromJson(row.json, p);
        EXPECT_EQ(st.outcome, Outcome::File) << row.json;
        EXPECT_NE(st.message.find(row.mentions), std::string::npos) << st.message;
    }
}

// A sysfs tree as the kernel lays it out for a CH340 adapter, a serial-core
// placeholder without a UART, and a simulator's announced link.
TEST(PortList, UsbAdaptersPlaceholdersAndSimulators) {
    const fs::path root = fs::path(::testing::TempDir()) / "qrvctl-sysfs";
    fs::remove_all(root);
    const fs::path usb = root / "devices/usb1/1-1", port = usb / "1-1:1.0/ttyUSB0";
    fs::create_directories(port);
    fs::create_directories(root / "drivers/ch341-uart");
    std::ofstream(usb / "idVendor") << "1a86\n";
    std::ofstream(usb / "idProduct") << "7523\n";
    std::ofstream(usb / "product") << "USB Serial\n";
    fs::create_directory_symlink(root / "drivers/ch341-uart", port / "driver");
    fs::create_directories(root / "class/tty/ttyUSB0");
    fs::create_directory_symlink(port, root / "class/tty/ttyUSB0/device");
    fs::create_directories(root / "class/tty/ttyS3");
    fs::create_directory_symlink(root / "devices", root / "class/tty/ttyS3/device");
    std::ofstream(root / "class/tty/ttyS3/type") << "0\n";
    fs::create_directories(root / "class/tty/tty1");  // a virtual terminal: no device
    fs::create_directories(root / "sim");
    fs::create_symlink("/dev/null", root / "sim/qrvsim0");
    std::ofstream(root / "sim/qrvsim.pid") << "1\n";

    const std::vector<PortInfo> ports = ListPorts({(root / "class/tty").string(), "/dev", (root / "sim").string()});
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].path, "/dev/ttyUSB0");
    EXPECT_EQ(ports[0].usbVendor, 0x1A86);
    EXPECT_EQ(ports[0].usbProduct, 0x7523);
    EXPECT_EQ(ports[0].description, "CH340");
    EXPECT_EQ(ports[0].driver, "ch341-uart");
    EXPECT_EQ(ports[1].path, (root / "sim/qrvsim0").string());
    EXPECT_TRUE(ports[1].simulated);
    EXPECT_TRUE(ports[1].accessible);
}

// --port all and --port serial:SN on three identical CH340 adapters, told
// apart by their serial numbers; the third one's device this user cannot open.
TEST(PortList, ProvisionPortsByKindAndSerialNumber) {
    const fs::path root = fs::path(::testing::TempDir()) / "qrvctl-sysfs-serials";
    fs::remove_all(root);
    fs::create_directories(root / "dev");
    const char* serials[] = {"A10K3X", "B22Q9Z", "C33W1M"};
    for (int i = 0; i < 3; ++i) {
        const std::string tty = "ttyUSB" + std::to_string(i);
        const fs::path usb = root / "devices" / ("usb" + std::to_string(i)) / "1-1", port = usb / "1-1:1.0" / tty;
        fs::create_directories(port);
        std::ofstream(usb / "idVendor") << "1a86\n";
        std::ofstream(usb / "idProduct") << "7523\n";
        std::ofstream(usb / "serial") << serials[i] << "\n";
        fs::create_directories(root / "class/tty" / tty);
        fs::create_directory_symlink(port, root / "class/tty" / tty / "device");
        if (i < 2) std::ofstream(root / "dev" / tty) << "";
    }
    const std::vector<PortInfo> listed = ListPorts(
        {(root / "class/tty").string(), (root / "dev").string(), (root / "sim").string(), (root / "by-id").string()});
    ASSERT_EQ(listed.size(), 3u);
    const std::string usb0 = (root / "dev/ttyUSB0").string(), usb1 = (root / "dev/ttyUSB1").string(),
                      usb2 = (root / "dev/ttyUSB2").string();

    const struct {
        std::vector<std::string> given;
        std::vector<std::string> chosen;  // empty: refused
    } rows[] = {
        {{"all"}, {usb0, usb1}},
        {{"serial:B22Q9Z"}, {usb1}},
        // Named by its serial number it is taken; opening it says why not.
        {{"serial:C33W1M"}, {usb2}},
        // Each port once, in the order named.
        {{"/dev/ttyACM0", "serial:B22Q9Z", "all"}, {"/dev/ttyACM0", usb1, usb0}},
        {{"serial:NOPE"}, {}},
        {{"serial:"}, {}},
    };
    for (const auto& row : rows) {
        std::vector<std::string> chosen;
        const Status st = SelectPorts(row.given, listed, chosen);
        EXPECT_EQ(st.Ok(), !row.chosen.empty()) << row.given.back() << ": " << st.message;
        if (st.Ok()) {
            EXPECT_EQ(chosen, row.chosen) << row.given.back();
        } else {
            EXPECT_EQ(st.outcome, Outcome::Port);
        }
    }
    std::vector<std::string> none;
    EXPECT_EQ(SelectPorts({"all"}, {}, none).outcome, Outcome::Port);
}

}  // namespace
}  // namespace qrv::client
