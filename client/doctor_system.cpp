// The checks that read files only: the device node, sysfs, /proc, udev's
// database and rules. Nothing here writes a byte to the line.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

#include "client/doctor.h"
#include "client/port_list.h"

namespace qrv::client {

namespace fs = std::filesystem;

namespace {

using Facts = std::vector<std::pair<std::string, std::string>>;

CheckResult Result(const char* id, CheckVerdict verdict, const char* outcome, Facts facts, std::string found,
                   std::string advice = {}) {
    return {id, verdict, outcome, std::move(facts), std::move(found), std::move(advice)};
}

std::string ReadFirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Hex4(std::uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", value);
    return text;
}

// Everything the checks need to know about the port, found once.
struct PortView {
    std::string given;     // as the user named it
    std::string name;      // ttyUSB0: the node's own name after links
    std::string devPath;   // /dev/ttyUSB0 (outside the root)
    fs::path node;         // the node inside the root
    bool exists = false;
    bool simulated = false;
    std::optional<PortInfo> info;
};

// Resolves links inside the root: an absolute link target is taken below it.
fs::path ResolveUnder(const std::string& root, fs::path path) {
    std::error_code error;
    for (int hops = 0; hops < 16 && fs::is_symlink(path, error); ++hops) {
        fs::path target = fs::read_symlink(path, error);
        if (error) break;
        path = target.is_absolute() ? fs::path(root + target.string()) : path.parent_path() / target;
        path = path.lexically_normal();
    }
    return path;
}

PortView ViewPort(const std::string& port, const DoctorSetup& setup) {
    PortView view;
    view.given = port;
    view.node = ResolveUnder(setup.root, fs::path(setup.root + port));
    view.name = view.node.filename().string();
    view.devPath = view.node.string().substr(setup.root.size());
    std::error_code error;
    view.exists = fs::exists(view.node, error);
    view.simulated = view.exists && !fs::exists(setup.root + "/sys/class/tty/" + view.name + "/device", error);
    PortListPlaces places;
    places.sysClassTty = setup.root + "/sys/class/tty";
    places.devDirectory = "/dev";
    places.simulatorDirectory = setup.root + "/nonexistent";
    for (const PortInfo& info : ListPorts(places))
        if (info.path == view.devPath) view.info = info;
    return view;
}

std::string UsbIds(const PortView& port) {
    if (!port.info || !port.info->usbVendor || !port.info->usbProduct) return {};
    return Hex4(*port.info->usbVendor) + ":" + Hex4(*port.info->usbProduct);
}

// ---- Port, stable name, adapter ----

CheckResult CheckExists(const PortView& port) {
    if (port.exists)
        return Result("port", CheckVerdict::Pass, "exists", {{"port", port.given}, {"device", port.devPath}},
                      port.given + " exists" + (port.given != port.devPath ? " (" + port.devPath + ")" : ""));
    return Result("port", CheckVerdict::Fail, "missing", {{"port", port.given}}, port.given + " does not exist",
                  "Plug the adapter in and list the ports: qrvctl ports\n"
                  "If it vanishes seconds after plugging, see the brltty check below; the kernel log says more:\n"
                  "  sudo dmesg | tail -20");
}

CheckResult CheckStableName(const PortView& port, const DoctorSetup& setup) {
    if (!port.exists || port.simulated)
        return Result("by-id", CheckVerdict::Skip, "not-usb", {}, "no stable name: not a USB adapter's port");
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(setup.root + "/dev/serial/by-id", error)) {
        if (ResolveUnder(setup.root, entry.path()).filename() != port.name) continue;
        const std::string stable = "/dev/serial/by-id/" + entry.path().filename().string();
        if (port.given == stable)
            return Result("by-id", CheckVerdict::Pass, "in-use", {{"by-id", stable}}, "you use the stable name " + stable);
        return Result("by-id", CheckVerdict::Pass, "available", {{"by-id", stable}},
                      "stable name: " + stable,
                      "Names like " + port.devPath + " can change between plugs; use the stable one:\n"
                      "  qrvctl info --port " + stable);
    }
    return Result("by-id", CheckVerdict::Warn, "none", {{"device", port.devPath}},
                  "no /dev/serial/by-id/ name for " + port.devPath,
                  "Adapters without a USB serial number get no stable name; pin one with a udev rule:\n"
                  "  SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"VVVV\", ATTRS{idProduct}==\"PPPP\", SYMLINK+=\"qrv-module\"");
}

CheckResult CheckAdapter(const PortView& port) {
    if (!port.exists) return Result("adapter", CheckVerdict::Skip, "no-port", {}, "no port, no adapter to look at");
    if (port.simulated)
        return Result("adapter", CheckVerdict::Pass, "pseudo-terminal", {{"device", port.devPath}},
                      port.devPath + " is a pseudo-terminal (a module simulator), not an adapter");
    const PortInfo info = port.info.value_or(PortInfo{});
    const std::string ids = UsbIds(port);
    Facts facts{{"usb-id", ids}, {"chip", info.description}, {"serial", info.serialNumber}, {"driver", info.driver}};
    if (ids.empty())
        return Result("adapter", CheckVerdict::Pass, "built-in", std::move(facts),
                      "a built-in serial port (driver " + (info.driver.empty() ? std::string("unknown") : info.driver) + ")");
    return Result("adapter", CheckVerdict::Pass, "usb", std::move(facts),
                  "USB " + ids + " " + info.description + (info.serialNumber.empty() ? "" : ", serial " + info.serialNumber) +
                      ", driver " + (info.driver.empty() ? std::string("none") : info.driver));
}

// ---- Permission ----

std::string NameFromFile(const std::string& file, unsigned id) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        // name:password:id:...
        const std::size_t a = line.find(':'), b = line.find(':', a + 1), c = line.find(':', b + 1);
        if (a == std::string::npos || b == std::string::npos) continue;
        if (line.substr(b + 1, c - b - 1) == std::to_string(id)) return line.substr(0, a);
    }
    return std::to_string(id);
}

bool Has(const std::vector<gid_t>& groups, gid_t gid) { return std::find(groups.begin(), groups.end(), gid) != groups.end(); }

std::string ModeText(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

CheckResult CheckPermission(const PortView& port, const DoctorSetup& setup) {
    struct stat node {};
    if (!port.exists || stat(port.node.c_str(), &node) != 0)
        return Result("permission", CheckVerdict::Skip, "no-port", {}, "no port to check");
    const std::string owner = NameFromFile(setup.root + "/etc/passwd", node.st_uid);
    const std::string group = NameFromFile(setup.root + "/etc/group", node.st_gid);
    Facts facts{{"owner", owner}, {"group", group}, {"mode", ModeText(node.st_mode)}, {"user", setup.user.name}};
    const std::string what = port.devPath + " is " + owner + ":" + group + " mode " + ModeText(node.st_mode);
    const mode_t rw = S_IRUSR | S_IWUSR;
    const bool byOwner = node.st_uid == setup.user.uid && (node.st_mode & rw) == rw;
    const bool byGroup = Has(setup.user.processGroups, node.st_gid) && (node.st_mode & (rw >> 3)) == (rw >> 3);
    const bool byOthers = (node.st_mode & (rw >> 6)) == (rw >> 6);
    if (setup.user.uid == 0 || byOwner || byGroup || byOthers)
        return Result("permission", CheckVerdict::Pass, "allowed", std::move(facts), what + ": you may read and write it");
    const bool groupCanRw = (node.st_mode & (rw >> 3)) == (rw >> 3);
    if (groupCanRw && Has(setup.user.listedGroups, node.st_gid))
        return Result("permission", CheckVerdict::Fail, "group-not-active", std::move(facts),
                      what + ": you joined " + group + " but this session does not have it yet",
                      "Log out and back in (or start a shell with it: newgrp " + group + ").");
    if (groupCanRw && group == "dialout")
        return Result("permission", CheckVerdict::Fail, "not-in-dialout", std::move(facts),
                      what + ": you are not in the dialout group",
                      "sudo usermod -aG dialout " + setup.user.name + "\nthen log out and back in.");
    // The group is not one a user joins for serial ports (root:root 0600,
    // or a group without rights): a udev rule gives the node to dialout.
    const std::string ids = UsbIds(port);
    const std::string match = ids.empty() ? "KERNEL==\"" + port.name + "\""
                                          : "ATTRS{idVendor}==\"" + ids.substr(0, 4) + "\", ATTRS{idProduct}==\"" + ids.substr(5) + "\"";
    facts.emplace_back("rule", "SUBSYSTEM==\"tty\", " + match + ", GROUP=\"dialout\", MODE=\"0660\"");
    return Result("permission", CheckVerdict::Fail, "needs-rule", facts,
                  what + ": neither you nor a group of yours may open it",
                  "Give it to the dialout group with a udev rule, then join the group:\n"
                  "  echo '" + facts.back().second + "' | sudo tee /etc/udev/rules.d/70-qrv-serial.rules\n"
                  "  sudo udevadm control --reload && sudo udevadm trigger\n"
                  "  sudo usermod -aG dialout " + setup.user.name + "   (then log out and back in)");
}

// ---- Held by a process ----

std::string ProgramOf(const std::string& root, const std::string& pid) {
    const std::string comm = ReadFirstLine(root + "/proc/" + pid + "/comm");
    return comm.empty() ? "?" : comm;
}

std::vector<std::string> ProcessIds(const std::string& root) {
    std::vector<std::string> pids;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(root + "/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; }))
            pids.push_back(name);
    }
    std::sort(pids.begin(), pids.end());
    return pids;
}

CheckResult CheckHeld(const PortView& port, const DoctorSetup& setup) {
    if (!port.exists) return Result("held", CheckVerdict::Skip, "no-port", {}, "no port to check");
    const std::string kill = "Close that program, or end it: kill ";
    // A UUCP lock file names its owner (ASCII pid); a dead owner leaves it stale.
    for (const char* dir : {"/run/lock/", "/var/lock/"}) {
        const std::string lock = std::string(dir) + "LCK.." + port.name;
        std::ifstream in(setup.root + lock);
        long pid = 0;
        if (!in || !(in >> pid)) continue;
        const std::string id = std::to_string(pid);
        if (fs::exists(setup.root + "/proc/" + id))
            return Result("held", CheckVerdict::Fail, "lock-file", {{"pid", id}, {"program", ProgramOf(setup.root, id)}, {"lock", lock}},
                          "locked by " + ProgramOf(setup.root, id) + " (pid " + id + ") through " + lock, kill + id);
        return Result("held", CheckVerdict::Warn, "stale-lock", {{"pid", id}, {"lock", lock}},
                      lock + " names pid " + id + ", which is gone", "Remove the stale lock: sudo rm " + lock);
    }
    // Any process with the node open, found through its file descriptors
    // (other users' processes show only to root). A simulator keeps its
    // own pseudo-terminal open: there the scan would only find it.
    for (const std::string& pid : port.simulated ? std::vector<std::string>{} : ProcessIds(setup.root)) {
        if (pid == std::to_string(setup.self)) continue;
        std::error_code error;
        for (const fs::directory_entry& fd : fs::directory_iterator(setup.root + "/proc/" + pid + "/fd", error)) {
            std::error_code linkError;
            const fs::path target = fs::read_symlink(fd.path(), linkError);
            if (linkError || fs::path(setup.root + target.string()).lexically_normal() != port.node) continue;
            return Result("held", CheckVerdict::Fail, "open", {{"pid", pid}, {"program", ProgramOf(setup.root, pid)}},
                          "open in " + ProgramOf(setup.root, pid) + " (pid " + pid + ")", kill + pid);
        }
    }
    // flock() and TIOCEXCL holders show only when we try.
    const int fd = open(port.node.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0 && errno == EBUSY)
        return Result("held", CheckVerdict::Fail, "exclusive", {}, "another program opened it exclusively (TIOCEXCL)",
                      "Find it: sudo fuser -v " + port.devPath);
    if (fd >= 0) {
        const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        close(fd);
        if (locked)
            return Result("held", CheckVerdict::Fail, "flock", {}, "another program holds a lock on it (flock)",
                          "Find it: sudo fuser -v " + port.devPath);
    }
    return Result("held", CheckVerdict::Pass, "free", {}, "no process of yours holds it",
                  setup.user.uid == 0 ? "" : "Other users' programs show only to root: sudo fuser -v " + port.devPath);
}

// ---- ModemManager ----

bool Running(const std::string& root, const std::string& program) {
    for (const std::string& pid : ProcessIds(root))
        if (ReadFirstLine(root + "/proc/" + pid + "/comm") == program) return true;
    return false;
}

bool UdevIgnoresForModems(const PortView& port, const DoctorSetup& setup) {
    const std::string numbers = ReadFirstLine(setup.root + "/sys/class/tty/" + port.name + "/dev");  // "188:0"
    std::ifstream in(setup.root + "/run/udev/data/c" + numbers);
    for (std::string line; std::getline(in, line);)
        if (line == "E:ID_MM_DEVICE_IGNORE=1") return true;
    return false;
}

CheckResult CheckModemManager(const PortView& port, const DoctorSetup& setup) {
    if (!Running(setup.root, "ModemManager"))
        return Result("modemmanager", CheckVerdict::Pass, "not-running", {}, "ModemManager is not running");
    if (!port.exists || port.simulated)
        return Result("modemmanager", CheckVerdict::Pass, "not-probed", {}, "ModemManager runs but does not probe this port");
    if (UdevIgnoresForModems(port, setup))
        return Result("modemmanager", CheckVerdict::Pass, "ignored", {}, "ModemManager runs and ignores this port");
    const std::string ids = UsbIds(port);
    const std::string rule = ids.empty()
                                 ? "KERNEL==\"" + port.name + "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""
                                 : "ATTRS{idVendor}==\"" + ids.substr(0, 4) + "\", ATTRS{idProduct}==\"" + ids.substr(5) +
                                       "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"";
    return Result("modemmanager", CheckVerdict::Warn, "probes", {{"rule", rule}},
                  "ModemManager runs and may probe this port (AT commands into the module)",
                  "Tell it to leave the adapter alone:\n"
                  "  echo '" + rule + "' | sudo tee /etc/udev/rules.d/70-qrv-mm-ignore.rules\n"
                  "  sudo udevadm control --reload && sudo udevadm trigger\n"
                  "or, without modems on this machine: sudo systemctl disable --now ModemManager");
}

// ---- brltty ----

std::vector<fs::path> BrlttyRules(const std::string& root) {
    std::vector<fs::path> files;
    for (const char* dir : {"/usr/lib/udev/rules.d", "/lib/udev/rules.d", "/etc/udev/rules.d"}) {
        std::error_code error;
        for (const fs::directory_entry& entry : fs::directory_iterator(root + dir, error))
            if (entry.path().filename().string().find("brltty") != std::string::npos) files.push_back(entry.path());
    }
    return files;
}

// A rules line that names both ids ("1a86/7523" or idVendor/idProduct pairs).
bool RulesMatch(const fs::path& file, const std::string& vendor, const std::string& product) {
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const std::string text = Lower(line);
        if (!text.empty() && text[0] != '#' && text.find(vendor) != std::string::npos && text.find(product) != std::string::npos)
            return true;
    }
    return false;
}

CheckResult CheckBrltty(const PortView& port, const DoctorSetup& setup) {
    std::error_code error;
    const bool installed = fs::exists(setup.root + "/usr/bin/brltty", error) || fs::exists(setup.root + "/bin/brltty", error);
    const std::vector<fs::path> rules = BrlttyRules(setup.root);
    if (!installed && rules.empty())
        return Result("brltty", CheckVerdict::Pass, "not-installed", {}, "brltty is not installed");
    // Without the adapter in sight, the ids brltty claims most often (CH340/CH341).
    std::string ids = UsbIds(port);
    if (ids.empty() && port.exists) return Result("brltty", CheckVerdict::Pass, "not-usb", {}, "brltty is installed; this port is not USB");
    if (ids.empty()) ids = "1a86:7523";
    for (const fs::path& file : rules) {
        if (!RulesMatch(file, ids.substr(0, 4), ids.substr(5))) continue;
        const std::string name = file.filename().string();
        return Result("brltty", port.exists ? CheckVerdict::Warn : CheckVerdict::Fail, "claims",
                      {{"usb-id", ids}, {"rules", file.string().substr(setup.root.size())}},
                      "brltty's udev rules (" + name + ") claim USB " + ids + ": it takes the port seconds after plugging",
                      "Without a braille display, remove it:\n  sudo apt remove brltty\n"
                      "or keep it off this adapter:\n  sudo ln -s /dev/null /etc/udev/rules.d/" + name +
                          "\n  sudo udevadm control --reload\nthen unplug and plug the adapter again.");
    }
    return Result("brltty", CheckVerdict::Pass, "no-match", {{"usb-id", ids}}, "brltty is installed but does not claim USB " + ids);
}

// ---- Latency timer ----

CheckResult CheckLatencyTimer(const PortView& port, const DoctorSetup& setup) {
    const std::string file = "/sys/bus/usb-serial/devices/" + port.name + "/latency_timer";
    std::ifstream in(setup.root + file);
    int ms = 0;
    if (!port.exists || !in || !(in >> ms))
        return Result("latency-timer", CheckVerdict::Pass, "none", {}, "no latency timer on this port");
    in.close();
    const std::string driver = port.info ? port.info->driver : std::string();
    const std::string rule = "ACTION==\"add\", SUBSYSTEM==\"usb-serial\", DRIVER==\"" +
                             (driver.empty() ? std::string("ftdi_sio") : driver) + "\", ATTR{latency_timer}=\"1\"";
    Facts facts{{"ms", std::to_string(ms)}, {"file", file}, {"rule", rule}};
    const std::string sticky = "To keep it at 1 ms after replugging:\n  echo '" + rule +
                               "' | sudo tee /etc/udev/rules.d/70-qrv-latency.rules";
    if (ms <= 2) return Result("latency-timer", CheckVerdict::Pass, "low", std::move(facts), "latency timer " + std::to_string(ms) + " ms");
    if (setup.fix) {
        std::ofstream out(setup.root + file);
        out << "1\n";
        out.flush();
        if (out) {
            facts[0].second = "1";
            return Result("latency-timer", CheckVerdict::Pass, "fixed", std::move(facts),
                          "latency timer was " + std::to_string(ms) + " ms, set to 1 ms until the adapter is unplugged", sticky);
        }
    }
    return Result("latency-timer", CheckVerdict::Warn, "high", std::move(facts),
                  "latency timer " + std::to_string(ms) + " ms: answers reach the host up to " + std::to_string(ms) +
                      " ms late, sometimes in two pieces; above 9600 baud a piece later than the read interval "
                      "(3 ms at 115200, 1 ms at 460800) fails the exchange",
                  std::string(setup.fix ? "--fix needs root: sudo qrvctl doctor --fix\n" : "Set it to 1 ms now: sudo qrvctl doctor --fix\n") +
                      "  (or: echo 1 | sudo tee " + file + ")\n" + sticky +
                      "\nor read with --tolerant-reads.");
}

}  // namespace

std::vector<CheckResult> SystemChecks(const std::string& port, const DoctorSetup& setup) {
    const PortView view = ViewPort(port, setup);
    return {CheckExists(view),        CheckStableName(view, setup), CheckAdapter(view),
            CheckPermission(view, setup), CheckHeld(view, setup),     CheckModemManager(view, setup),
            CheckBrltty(view, setup),     CheckLatencyTimer(view, setup)};
}

DoctorSetup RealSetup(const std::string& root) {
    DoctorSetup setup;
    setup.root = root;
    setup.self = getpid();
    setup.user.uid = geteuid();
    setup.user.name = NameFromFile(root + "/etc/passwd", setup.user.uid);
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(static_cast<std::size_t>(count > 0 ? count : 0));
    if (count > 0 && getgroups(count, groups.data()) == count) setup.user.processGroups = groups;
    setup.user.processGroups.push_back(getegid());
    // group:x:gid:member,member
    std::ifstream in(root + "/etc/group");
    for (std::string line; std::getline(in, line);) {
        const std::size_t a = line.find(':'), b = line.find(':', a + 1), c = line.find(':', b + 1);
        if (c == std::string::npos) continue;
        const std::string members = "," + line.substr(c + 1) + ",";
        if (members.find("," + setup.user.name + ",") != std::string::npos)
            setup.user.listedGroups.push_back(static_cast<gid_t>(std::stoul("0" + line.substr(b + 1, c - b - 1))));
    }
    return setup;
}

}  // namespace qrv::client
