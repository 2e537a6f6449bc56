#include "sim/scenario_json.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "text/module_text.h"
#include "text/user_file.h"

namespace qrv::sim {

using Json = nlohmann::ordered_json;

namespace {

// Problems in a scenario are reported through this and caught at the
// boundary of ParseScenario; nothing escapes the simulator's API.
struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

unsigned long Number(const Json& value, const std::string& key, unsigned long max) {
    unsigned long n = 0;
    if (value.is_number_unsigned()) {
        n = value.get<unsigned long>();
    } else if (value.is_string()) {
        const std::string text = value.get<std::string>();
        std::size_t used = 0;
        try {
            n = std::stoul(text, &used, 0);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != text.size()) throw ScenarioError("\"" + key + "\": not a number: " + text);
    } else {
        throw ScenarioError("\"" + key + "\": expected a non-negative number");
    }
    if (n > max) throw ScenarioError("\"" + key + "\": " + std::to_string(n) + " is out of range");
    return n;
}

// Returns `current` when the key is absent. Values, not references: the
// record's fields are packed and may sit at odd addresses.
template <typename T>
T Value(const Json& object, const char* key, T current) {
    if (!object.contains(key)) return current;
    return static_cast<T>(Number(object.at(key), key, std::numeric_limits<T>::max()));
}

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

void ReadText(const Json& object, const char* key, char (&field)[kTextFieldSize]) {
    const std::string hexKey = std::string(key) + "_gbk_hex";
    std::string gbk;
    if (object.contains(key)) {
        if (!object.at(key).is_string()) throw ScenarioError(std::string("\"") + key + "\": expected text");
        auto converted = text::Utf8ToModuleText(object.at(key).get<std::string>());
        if (!converted) throw ScenarioError(std::string("\"") + key + "\": no GBK form for this text");
        gbk = *converted;
    } else if (object.contains(hexKey)) {
        // Names that are not valid GBK survive a round trip as raw bytes.
        const std::string hex = object.at(hexKey).get<std::string>();
        if (hex.size() % 2 != 0) throw ScenarioError("\"" + hexKey + "\": odd number of digits");
        for (std::size_t i = 0; i < hex.size(); i += 2)
            gbk.push_back(static_cast<char>(Number(Json("0x" + hex.substr(i, 2)), hexKey, 0xFF)));
    } else {
        return;
    }
    if (!SetTextField(field, gbk)) throw ScenarioError(std::string("\"") + key + "\": longer than 15 GBK bytes");
}

void WriteText(Json& object, const char* key, const char (&field)[kTextFieldSize]) {
    const std::string gbk = TextField(field);
    if (auto utf8 = text::ConvertExact(gbk, text::kModuleCodePage, "UTF-8")) {
        object[key] = *utf8;
        return;
    }
    std::string hex;
    for (unsigned char c : gbk) hex += Hex(c, 2).substr(2);
    object[std::string(key) + "_gbk_hex"] = hex;
}

// Bytes 0..51: the writable part, shared by a record and its factory copy.
void ReadWritable(const Json& o, ModuleProperty& r) {
    ReadText(o, "name", r.DevName);
    ReadText(o, "password", r.Password);
    r.WorkMode = Value(o, "work_mode", r.WorkMode);
    r.Channel = Value(o, "channel", r.Channel);
    r.NetId = Value(o, "net_id", r.NetId);
    r.LocalAddr = Value(o, "address", r.LocalAddr);
    r.DestAddr = Value(o, "dest_addr", r.DestAddr);
    r.AirRate = Value(o, "air_rate", r.AirRate);
    r.TxPower = Value(o, "tx_power", r.TxPower);
    r.RetryCount = Value(o, "retry_count", r.RetryCount);
    r.RetryInterval = Value(o, "retry_interval", r.RetryInterval);
    r.UartBaud = Value(o, "uart_baud", r.UartBaud);
    r.UartDataBits = Value(o, "uart_data_bits", r.UartDataBits);
    r.UartStopBits = Value(o, "uart_stop_bits", r.UartStopBits);
    r.UartParity = Value(o, "uart_parity", r.UartParity);
    r.FrameGap = Value(o, "frame_gap", r.FrameGap);
    r.FrameLen = Value(o, "frame_len", r.FrameLen);
    r.Spare51 = Value(o, "spare51", r.Spare51);
}

void WriteWritable(Json& o, const ModuleProperty& r) {
    WriteText(o, "name", r.DevName);
    WriteText(o, "password", r.Password);
    o["address"] = Hex(r.LocalAddr, 4);
    o["work_mode"] = r.WorkMode;
    o["channel"] = r.Channel;
    o["air_rate"] = r.AirRate;
    o["net_id"] = Hex(r.NetId, 4);
    o["dest_addr"] = Hex(r.DestAddr, 4);
    o["tx_power"] = Hex(r.TxPower, 2);
    o["retry_count"] = r.RetryCount;
    o["retry_interval"] = static_cast<unsigned>(r.RetryInterval);
    o["uart_baud"] = r.UartBaud;
    o["uart_data_bits"] = r.UartDataBits;
    o["uart_stop_bits"] = r.UartStopBits;
    o["uart_parity"] = r.UartParity;
    o["frame_gap"] = r.FrameGap;
    o["frame_len"] = r.FrameLen;
    o["spare51"] = r.Spare51;
}

ModuleConfig ReadModule(const Json& o) {
    if (!o.is_object()) throw ScenarioError("a module must be an object");
    if (!o.contains("address")) throw ScenarioError("a module needs an \"address\"");
    std::uint16_t address = 0, devType = kDevTypeQrv;
    std::uint8_t channel = 11, airRate = protocol::kAirRate250K;
    address = Value(o, "address", address);
    devType = Value(o, "dev_type", devType);
    channel = Value(o, "channel", channel);
    airRate = Value(o, "air_rate", airRate);

    ModuleConfig m;
    m.record = TypicalRecord(address, devType, channel, airRate);
    ReadWritable(o, m.record);
    m.record.RunState = Value(o, "run_state", m.record.RunState);
    m.record.FwVersion = Value(o, "firmware", m.record.FwVersion);
    m.appDevType = devType != kDevTypeBoot ? devType : kDevTypeQrv;
    m.appDevType = Value(o, "app_dev_type", m.appDevType);
    if (o.contains("upgrade_version")) m.upgradeVersion = Value<std::uint16_t>(o, "upgrade_version", 0);
    m.factory = m.record;
    if (o.contains("factory")) ReadWritable(o.at("factory"), m.factory);

    m.io.present = m.appDevType == kDevTypeVlxIo;
    if (o.contains("io")) {
        const Json& io = o.at("io");
        if (io.contains("present")) m.io.present = io.at("present").get<bool>();
        m.io.directions = Value(io, "directions", m.io.directions);
        m.io.outputs = Value(io, "outputs", m.io.outputs);
        m.io.inputs = Value(io, "inputs", m.io.inputs);
        if (io.contains("loopback")) m.io.loopback = io.at("loopback").get<bool>();
        if (io.contains("ad_drift")) m.io.adDrift = io.at("ad_drift").get<bool>();
        if (io.contains("ad_mv")) {
            const Json& ad = io.at("ad_mv");
            if (!ad.is_array() || ad.size() != 4) throw ScenarioError("\"ad_mv\": expected four values");
            for (std::size_t i = 0; i < 4; ++i)
                m.io.adMillivolts[i] = static_cast<std::uint16_t>(Number(ad.at(i), "ad_mv", 0xFFFF));
        }
    }
    return m;
}

Json WriteModule(const ModuleConfig& m) {
    Json o = Json::object();
    WriteWritable(o, m.record);
    o["dev_type"] = Hex(m.record.DevType, 4);
    o["run_state"] = Hex(m.record.RunState, 2);
    o["firmware"] = Hex(m.record.FwVersion, 4);
    o["app_dev_type"] = Hex(m.appDevType, 4);
    if (m.upgradeVersion) o["upgrade_version"] = Hex(*m.upgradeVersion, 4);
    o["io"] = {{"present", m.io.present}, {"directions", m.io.directions}, {"outputs", m.io.outputs},
               {"inputs", m.io.inputs},   {"loopback", m.io.loopback},     {"ad_mv", m.io.adMillivolts},
               {"ad_drift", m.io.adDrift}};
    if (std::memcmp(&m.factory, &m.record, kWritablePropertySize) != 0) {
        Json factory = Json::object();
        WriteWritable(factory, m.factory);
        o["factory"] = factory;
    }
    return o;
}

}  // namespace

bool ParseScenario(const std::string& json, Scenario& out, std::string& error) {
    try {
        const Json root = Json::parse(json);
        if (!root.is_object() || !root.contains("local")) throw ScenarioError("a scenario needs a \"local\" module");
        Scenario s;
        s.local = ReadModule(root.at("local"));
        if (root.contains("baud_mismatch")) {
            const Json& mismatch = root.at("baud_mismatch");
            if (mismatch == "junk")
                s.baudMismatch = BaudMismatch::Junk;
            else if (mismatch != "silent")
                throw ScenarioError("\"baud_mismatch\": expected \"silent\" or \"junk\"");
        }
        if (root.contains("far")) {
            if (!root.at("far").is_array()) throw ScenarioError("\"far\" must be a list of modules");
            for (const Json& module : root.at("far")) s.far.push_back(ReadModule(module));
        }
        out = std::move(s);
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

std::string ScenarioToJson(const Scenario& scenario) {
    Json root = Json::object();
    root["local"] = WriteModule(scenario.local);
    if (scenario.baudMismatch == BaudMismatch::Junk) root["baud_mismatch"] = "junk";
    root["far"] = Json::array();
    for (const ModuleConfig& m : scenario.far) root["far"].push_back(WriteModule(m));
    return root.dump(2) + "\n";
}

bool LoadScenarioFile(const std::string& path, Scenario& out, std::string& error) {
    // A regular file only: a FIFO without a writer would hold the simulator
    // before it ever opens its port.
    std::string text;
    if (!text::ReadUserFile(path, text, error)) return false;
    if (!ParseScenario(text, out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

namespace {

// Lays `fresh` over `original` key by key, touching only what changed since
// `baseline` (the original as this simulator reads and writes it): values
// the user wrote in another form ("0x0B" for 11), keys it does not know and
// their order stay as they were.
void LayOver(Json& original, const Json& baseline, const Json& fresh) {
    for (const auto& [key, value] : fresh.items()) {
        const bool known = baseline.contains(key);
        if (known && baseline.at(key) == value) continue;
        if (known && original.contains(key)) {
            Json& mine = original.at(key);
            const Json& base = baseline.at(key);
            if (mine.is_object() && base.is_object() && value.is_object()) {
                LayOver(mine, base, value);
                continue;
            }
            if (mine.is_array() && base.is_array() && value.is_array() && mine.size() == value.size() &&
                base.size() == value.size() && !value.empty() && value.front().is_object()) {
                for (std::size_t i = 0; i < value.size(); ++i) {
                    if (mine.at(i).is_object()) LayOver(mine.at(i), base.at(i), value.at(i));
                }
                continue;
            }
        }
        original[key] = value;
    }
    // What this simulator wrote before and no longer writes (a name that
    // became raw bytes, a factory copy now equal to the record) goes.
    for (const auto& [key, value] : baseline.items()) {
        if (!fresh.contains(key) && original.is_object()) original.erase(key);
    }
}

// The text to save: the file as it stands with the scenario laid over it,
// or the scenario alone when the file is not one of ours to keep.
std::string MergedScenarioText(const std::string& path, const Scenario& scenario) {
    const std::string fresh = ScenarioToJson(scenario);
    std::string text, ignored;
    if (!text::ReadUserFile(path, text, ignored)) return fresh;
    Scenario asRead;
    if (!ParseScenario(text, asRead, ignored)) return fresh;
    Json original = Json::parse(text);
    LayOver(original, Json::parse(ScenarioToJson(asRead)), Json::parse(fresh));
    return original.dump(2) + "\n";
}

}  // namespace

bool SaveScenarioFile(const std::string& path, const Scenario& scenario, std::string& error) {
    namespace fs = std::filesystem;
    // Through a symbolic link to the file it names: replacing the link with
    // a new file would leave the scenario it points to unchanged.
    std::error_code failure;
    fs::path target = fs::canonical(path, failure);
    if (failure) target = path;
    if (!text::WritableAsRegularFile(target.string(), error)) return false;
    const std::string text = MergedScenarioText(target, scenario);

    // The temporary file sits in the target's folder so the rename is atomic,
    // and takes the target's permissions.
    std::string temporary = target.string() + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        error = target.string() + ": cannot create a temporary file beside it: " + std::strerror(errno);
        return false;
    }
    struct stat existing {};
    const mode_t mode = stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    bool written = fchmod(fd, mode) == 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t count = write(fd, text.data() + done, text.size() - done);
        if (count < 0 && errno == EINTR) continue;
        written = count > 0;
        if (written) done += static_cast<std::size_t>(count);
    }
    written = written && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written) {
        unlink(temporary.c_str());
        error = temporary + ": cannot write";
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        error = target.string() + ": cannot replace";
        return false;
    }
    return true;
}

}  // namespace qrv::sim
