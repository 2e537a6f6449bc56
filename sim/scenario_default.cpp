#include <cstring>

#include "sim/scenario.h"

namespace qrv::sim {

using namespace protocol;

bool SetTextField(char (&field)[kTextFieldSize], const std::string& gbkText) {
    // The field keeps room for its NUL: 15 bytes of text at most.
    if (gbkText.size() >= kTextFieldSize || gbkText.find('\0') != std::string::npos) return false;
    std::memset(field, 0, kTextFieldSize);
    std::memcpy(field, gbkText.data(), gbkText.size());
    return true;
}

std::string TextField(const char (&field)[kTextFieldSize]) { return std::string(field, BoundedTextLength(field)); }

ModuleProperty TypicalRecord(std::uint16_t address, std::uint16_t devType, std::uint8_t channel, std::uint8_t airRate) {
    ModuleProperty r{};
    SetTextField(r.Password, "123456");
    r.WorkMode = 1;  // terminal
    r.Channel = channel;
    r.NetId = 0x2024;
    r.LocalAddr = address;
    r.DestAddr = 0x0001;
    r.AirRate = airRate;
    r.TxPower = 0x02;  // +8 dBm
    r.RetryCount = 3;
    r.RetryInterval = 100;
    r.UartBaud = 7;  // 115200
    r.UartDataBits = 8;
    r.UartStopBits = 1;
    r.UartParity = 0;
    r.FrameGap = 10;
    r.FrameLen = 64;
    r.Spare51 = 0;
    r.RunState = kRunStateUser;
    r.DevType = devType;
    r.FwVersion = 0x0123;
    return r;
}

namespace {

ModuleConfig Module(const char* gbkName, std::uint16_t address, std::uint16_t devType, std::uint8_t channel,
                    std::uint8_t airRate) {
    ModuleConfig m;
    m.record = TypicalRecord(address, devType, channel, airRate);
    SetTextField(m.record.DevName, gbkName);
    m.factory = m.record;
    m.appDevType = devType;
    m.io.present = devType == kDevTypeVlxIo;
    return m;
}

}  // namespace

Scenario Scenario::Default() {
    Scenario s;
    // Names are GBK bytes, as the modules carry them.
    // "本地主机": the host module on the serial line, a wireless-IO module so
    // that the local IO commands have something to drive.
    s.local = Module("\xB1\xBE\xB5\xD8\xD6\xF7\xBB\xFA", 0x0001, kDevTypeVlxIo, 11, kAirRate250K);
    s.local.record.WorkMode = 0;  // host
    s.local.record.DestAddr = 0xFFFF;
    s.local.record.FwVersion = 0x0205;
    s.local.factory = s.local.record;
    s.local.io.adMillivolts = {1650, 3300, 0, 812};

    s.far.push_back(Module("P2P-Node-A", 0x0102, kDevTypeQrv, 11, kAirRate250K));

    // "无线IO-车间": outputs wired back to inputs, so a write shows on a read.
    ModuleConfig workshop =
        Module("\xCE\xDE\xCF\xDF\x49\x4F\x2D\xB3\xB5\xBC\xE4", 0x0203, kDevTypeVlxIo, 11, kAirRate250K);
    workshop.io.loopback = true;
    workshop.io.adMillivolts = {1200, 2480, 330, 3010};
    s.far.push_back(workshop);

    // "网络中继站"
    ModuleConfig relay = Module("\xCD\xF8\xC2\xE7\xD6\xD0\xBC\xCC\xD5\xBE", 0x0304, kDevTypeKorvanet, 26, kAirRate1M);
    relay.record.WorkMode = 3;  // terminal and relay
    relay.record.FwVersion = 0x1012;
    relay.factory = relay.record;
    s.far.push_back(relay);

    ModuleConfig pump = Module("Pump-IO", 0x0405, kDevTypeVlxIo, 15, kAirRate500K);
    pump.record.WorkMode = 4;  // data acquisition
    pump.factory = pump.record;
    pump.io.inputs = 0x05;
    pump.io.adMillivolts = {420, 1875, 2600, 95};
    s.far.push_back(pump);

    // "升级待定": stuck in its boot loader; after an upgrade it is a
    // point-to-point module again.
    ModuleConfig boot = Module("\xC9\xFD\xBC\xB6\xB4\xFD\xB6\xA8", 0x0506, kDevTypeBoot, 11, kAirRate250K);
    boot.record.RunState = kRunStateBoot;
    boot.record.FwVersion = 0x0100;
    boot.factory = boot.record;
    boot.appDevType = kDevTypeQrv;
    s.far.push_back(boot);
    return s;
}

}  // namespace qrv::sim
