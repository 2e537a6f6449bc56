// qrvctl doctor's checks: every outcome of the file checks on a fake
// system tree, the line checks and tolerant reads against the simulator.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "client/doctor.h"
#include "client/sdk_link.h"
#include "qrvlink/qrvlink.h"
#include "sim_qrvctl_fixture.h"

namespace qrv::client {
namespace {

namespace fs = std::filesystem;
using Tree = std::function<void(const fs::path&)>;

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

void Link(const fs::path& link, const std::string& target) {
    fs::create_directories(link.parent_path());
    fs::create_symlink(target, link);
}

// A CH340 adapter on ttyUSB0 as sysfs, /dev and /etc show it; the node
// belongs to the test's own user and group, which the group file calls
// "dialout"; the user asking is someone else.
class DoctorTree : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/qrv-doctor-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        base_ = dir;
        // Nothing of the real user's is touched.
        fs::create_directories(base_ / "home");
        setenv("HOME", (base_ / "home").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (base_ / "home/.config").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(base_); }

    fs::path Fresh(const std::string& name) {
        const fs::path root = base_ / name;
        const fs::path usb = root / "sys/devices/usb1/1-1";
        Write(usb / "idVendor", "1a86\n");
        Write(usb / "idProduct", "7523\n");
        Write(usb / "serial", "A1B2\n");
        Write(usb / "product", "USB Serial\n");
        fs::create_directories(usb / "1-1:1.0/ttyUSB0");
        fs::create_directories(root / "sys/bus/usb-serial/drivers/ch341-uart");
        Link(usb / "1-1:1.0/ttyUSB0/driver", "../../../../../bus/usb-serial/drivers/ch341-uart");
        Link(root / "sys/class/tty/ttyUSB0/device", "../../../devices/usb1/1-1/1-1:1.0/ttyUSB0");
        Write(root / "sys/class/tty/ttyUSB0/dev", "188:0\n");
        Write(root / "dev/ttyUSB0", "");
        fs::permissions(root / "dev/ttyUSB0", fs::perms(0660));
        Link(root / "dev/serial/by-id/usb-1a86_USB_Serial_A1B2-if00-port0", "../../ttyUSB0");
        Write(root / "etc/passwd", "owner:x:" + std::to_string(geteuid()) + ":0::/:/bin/sh\nuser:x:" +
                                       std::to_string(geteuid() + 1) + ":0::/:/bin/sh\n");
        Write(root / "etc/group", "dialout:x:" + std::to_string(getegid()) + ":\n");
        Write(root / "proc/1/comm", "init\n");
        return root;
    }

    DoctorSetup Setup(const fs::path& root) const {
        DoctorSetup setup;
        setup.root = root.string();
        setup.user.uid = geteuid() + 1;
        setup.user.name = "user";
        setup.self = 999999;
        return setup;
    }

    static const CheckResult& Find(const std::vector<CheckResult>& checks, const std::string& id) {
        for (const CheckResult& c : checks)
            if (c.id == id) return c;
        static const CheckResult none{"missing", CheckVerdict::Skip, "", {}, "", ""};
        return none;
    }

    fs::path base_;
};

struct Row {
    const char* what;
    const char* check;
    Tree tree;
    std::function<void(DoctorSetup&)> user;
    CheckVerdict verdict;
    const char* outcome;
    const char* adviceHas;  // "" when anything goes
};

TEST_F(DoctorTree, EveryFileCheckOutcome) {
    const gid_t group = getegid();
    const auto none = [](const fs::path&) {};
    const auto asIs = [](DoctorSetup&) {};
    const auto mode = [](int bits) { return [bits](const fs::path& r) { fs::permissions(r / "dev/ttyUSB0", fs::perms(bits)); }; };
    const auto process = [](int pid, const char* comm) {
        return [=](const fs::path& r) { Write(r / "proc" / std::to_string(pid) / "comm", std::string(comm) + "\n"); };
    };
    const auto brltty = [](const char* rule) {
        return [=](const fs::path& r) {
            Write(r / "usr/bin/brltty", "");
            Write(r / "usr/lib/udev/rules.d/85-brltty.rules", std::string("# braille devices\n") + rule + "\n");
        };
    };
    const auto latency = [](const char* ms) {
        return [=](const fs::path& r) { Write(r / "sys/bus/usb-serial/devices/ttyUSB0/latency_timer", ms); };
    };
    const auto unplugged = [](const fs::path& r) { fs::remove(r / "dev/ttyUSB0"); };
    const auto builtIn = [](const fs::path& r) {
        fs::remove(r / "sys/devices/usb1/1-1/idVendor");
        fs::remove(r / "sys/devices/usb1/1-1/idProduct");
    };
    const auto both = [](Tree a, Tree b) { return [=](const fs::path& r) { a(r), b(r); }; };
    const Row rows[] = {
        {"present", "port", none, asIs, CheckVerdict::Pass, "exists", ""},
        {"unplugged", "port", [](const fs::path& r) { fs::remove(r / "dev/ttyUSB0"); }, asIs, CheckVerdict::Fail, "missing", "qrvctl ports"},
        {"by-id exists", "by-id", none, asIs, CheckVerdict::Pass, "available", "/dev/serial/by-id/usb-1a86"},
        {"no by-id", "by-id", [](const fs::path& r) { fs::remove_all(r / "dev/serial"); }, asIs, CheckVerdict::Warn, "none", "SYMLINK"},
        {"adapter", "adapter", none, asIs, CheckVerdict::Pass, "usb", ""},
        {"built-in port", "adapter", builtIn, asIs, CheckVerdict::Pass, "built-in", ""},
        {"pseudo-terminal", "adapter", [](const fs::path& r) { fs::remove(r / "sys/class/tty/ttyUSB0/device"); }, asIs,
         CheckVerdict::Pass, "pseudo-terminal", ""},
        {"pseudo-terminal's name", "by-id", [](const fs::path& r) { fs::remove(r / "sys/class/tty/ttyUSB0/device"); }, asIs,
         CheckVerdict::Skip, "not-usb", ""},
        {"no adapter", "adapter", unplugged, asIs, CheckVerdict::Skip, "no-port", ""},
        {"no permission to judge", "permission", unplugged, asIs, CheckVerdict::Skip, "no-port", ""},
        {"no holder", "held", unplugged, asIs, CheckVerdict::Skip, "no-port", ""},
        {"not in dialout", "permission", none, asIs, CheckVerdict::Fail, "not-in-dialout", "usermod -aG dialout user"},
        {"in dialout", "permission", none, [=](DoctorSetup& s) { s.user.processGroups = {group}; }, CheckVerdict::Pass, "allowed", ""},
        {"joined, not active", "permission", none, [=](DoctorSetup& s) { s.user.listedGroups = {group}; },
         CheckVerdict::Fail, "group-not-active", "Log out"},
        {"root:root 0600", "permission", [&](const fs::path& r) {
             mode(0600)(r);
             Write(r / "etc/group", "root:x:" + std::to_string(group) + ":\n");
         }, asIs, CheckVerdict::Fail, "needs-rule", "ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\", GROUP=\"dialout\""},
        {"owner", "permission", mode(0600), [](DoctorSetup& s) { s.user.uid = geteuid(); }, CheckVerdict::Pass, "allowed", ""},
        {"everyone", "permission", mode(0666), asIs, CheckVerdict::Pass, "allowed", ""},
        {"free", "held", none, asIs, CheckVerdict::Pass, "free", ""},
        {"open elsewhere", "held", [&](const fs::path& r) {
             process(4242, "minicom")(r);
             Link(r / "proc/4242/fd/5", "/dev/ttyUSB0");
         }, asIs, CheckVerdict::Fail, "open", "kill 4242"},
        {"open by us", "held", [](const fs::path& r) { Link(r / "proc/999999/fd/5", "/dev/ttyUSB0"); }, asIs,
         CheckVerdict::Pass, "free", ""},
        {"lock file", "held", [&](const fs::path& r) {
             process(4243, "cu")(r);
             Write(r / "run/lock/LCK..ttyUSB0", "      4243\n");
         }, asIs, CheckVerdict::Fail, "lock-file", "kill 4243"},
        {"stale lock", "held", [](const fs::path& r) { Write(r / "run/lock/LCK..ttyUSB0", "4244\n"); }, asIs,
         CheckVerdict::Warn, "stale-lock", "sudo rm /run/lock/LCK..ttyUSB0"},
        {"no ModemManager", "modemmanager", none, asIs, CheckVerdict::Pass, "not-running", ""},
        {"ModemManager probes", "modemmanager", process(77, "ModemManager"), asIs, CheckVerdict::Warn, "probes",
         "ATTRS{idVendor}==\"1a86\", ATTRS{idProduct}==\"7523\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""},
        {"ModemManager ignores", "modemmanager", [&](const fs::path& r) {
             process(77, "ModemManager")(r);
             Write(r / "run/udev/data/c188:0", "S:serial/by-id/x\nE:ID_MM_DEVICE_IGNORE=1\n");
         }, asIs, CheckVerdict::Pass, "ignored", ""},
        {"ModemManager, built-in port", "modemmanager", both(builtIn, process(77, "ModemManager")), asIs,
         CheckVerdict::Warn, "probes", "KERNEL==\"ttyUSB0\", ENV{ID_MM_DEVICE_IGNORE}=\"1\""},
        {"ModemManager, no port", "modemmanager", both(unplugged, process(77, "ModemManager")), asIs,
         CheckVerdict::Pass, "not-probed", ""},
        {"no brltty", "brltty", none, asIs, CheckVerdict::Pass, "not-installed", ""},
        {"brltty, built-in port", "brltty", both(builtIn, brltty("ENV{PRODUCT}==\"1a86/7523/*\"")), asIs,
         CheckVerdict::Pass, "not-usb", ""},
        {"brltty claims", "brltty", brltty("ENV{PRODUCT}==\"1a86/7523/*\", ENV{BRLTTY_BRAILLE_DRIVER}=\"bm\""), asIs,
         CheckVerdict::Warn, "claims", "85-brltty.rules"},
        {"brltty elsewhere", "brltty", brltty("ENV{PRODUCT}==\"0403/fe72/*\""), asIs, CheckVerdict::Pass, "no-match", ""},
        {"brltty took it", "brltty", [&](const fs::path& r) {
             brltty("ATTRS{idVendor}==\"1A86\", ATTRS{idProduct}==\"7523\"")(r);
             fs::remove(r / "dev/ttyUSB0");
         }, asIs, CheckVerdict::Fail, "claims", "apt remove brltty"},
        {"no timer", "latency-timer", none, asIs, CheckVerdict::Pass, "none", ""},
        {"16 ms", "latency-timer", latency("16\n"), asIs, CheckVerdict::Warn, "high", "ATTR{latency_timer}=\"1\""},
        {"1 ms", "latency-timer", latency("1\n"), asIs, CheckVerdict::Pass, "low", ""},
        {"fixed", "latency-timer", latency("16\n"), [](DoctorSetup& s) { s.fix = true; }, CheckVerdict::Pass, "fixed",
         "70-qrv-latency.rules"},
    };
    int n = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const fs::path root = Fresh("t" + std::to_string(n++));
        row.tree(root);
        DoctorSetup setup = Setup(root);
        row.user(setup);
        const CheckResult c = Find(SystemChecks("/dev/ttyUSB0", setup), row.check);
        EXPECT_EQ(VerdictName(c.verdict), std::string(VerdictName(row.verdict))) << c.found;
        EXPECT_EQ(c.outcome, row.outcome) << c.found;
        EXPECT_NE(c.advice.find(row.adviceHas), std::string::npos) << c.advice;
        if (std::string(row.outcome) == "fixed") {
            std::ifstream timer(root / "sys/bus/usb-serial/devices/ttyUSB0/latency_timer");
            int ms = 0;
            timer >> ms;
            EXPECT_EQ(ms, 1);
        }
    }
}

TEST_F(DoctorTree, AdapterFactsAndTheStableNameGiven) {
    const fs::path root = Fresh("facts");
    const std::string stable = "/dev/serial/by-id/usb-1a86_USB_Serial_A1B2-if00-port0";
    const std::vector<CheckResult> checks = SystemChecks(stable, Setup(root));
    const CheckResult& adapter = Find(checks, "adapter");
    EXPECT_EQ(adapter.Fact("usb-id"), "1a86:7523");
    EXPECT_EQ(adapter.Fact("chip"), "CH340");
    EXPECT_EQ(adapter.Fact("serial"), "A1B2");
    EXPECT_EQ(adapter.Fact("driver"), "ch341-uart");
    EXPECT_EQ(Find(checks, "by-id").outcome, "in-use");
    EXPECT_EQ(Find(checks, "port").Fact("device"), "/dev/ttyUSB0");
}

TEST(PermissionHint, DialoutOnlyForADialoutDevice) {
    SdkReason reason;
    reason.code = QRV_FAIL_PORT_PERMISSION;
    reason.groupName = "dialout";
    const std::string dialout = ReasonHint(reason);
    reason.groupName = "root";
    const std::string rootOnly = ReasonHint(reason);
    EXPECT_NE(dialout.find("usermod -aG dialout"), std::string::npos) << dialout;
    EXPECT_NE(rootOnly.find("qrvctl doctor"), std::string::npos) << rootOnly;
    EXPECT_EQ(rootOnly.find("usermod"), std::string::npos) << rootOnly;
}

TEST_F(DoctorTree, OpenedExclusively) {
    if (geteuid() == 0) GTEST_SKIP() << "root opens a TIOCEXCL port all the same";
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
    const std::string pts = ptsname(master);
    const int held = open(pts.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(ioctl(held, TIOCEXCL), 0);
    DoctorSetup setup = Setup("");
    EXPECT_EQ(Find(SystemChecks(pts, setup), "held").outcome, "exclusive");
    close(held);
    close(master);
}

TEST_F(DoctorTree, FixNeedsRoot) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes a read-only file all the same";
    const fs::path root = Fresh("fix");
    const fs::path timer = root / "sys/bus/usb-serial/devices/ttyUSB0/latency_timer";
    Write(timer, "16\n");
    fs::permissions(timer, fs::perms(0444));
    DoctorSetup setup = Setup(root);
    setup.fix = true;
    const CheckResult c = Find(SystemChecks("/dev/ttyUSB0", setup), "latency-timer");
    EXPECT_EQ(c.outcome, "high");
    EXPECT_NE(c.advice.find("--fix needs root"), std::string::npos) << c.advice;
}

TEST_F(DoctorTree, LockedWithFlock) {
    const fs::path root = Fresh("flock");
    const int fd = open((root / "dev/ttyUSB0").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    EXPECT_EQ(Find(SystemChecks("/dev/ttyUSB0", Setup(root)), "held").outcome, "flock");
    close(fd);
}

}  // namespace
}  // namespace qrv::client

namespace qrvctl::testing {
namespace {

using qrv::client::CheckVerdict;

class LineShapes : public SimulatedModules {
protected:
    void SetUp() override {}
    void TearDown() override { Q_SetTolerantReads(0); }

    void StartShaped(unsigned baud, std::chrono::milliseconds split, std::optional<qrv::sim::AdapterShape> adapter = {},
                     const qrv::sim::Scenario& scenario = qrv::sim::Scenario::Default(),
                     std::vector<qrv::sim::Fault> faults = {}) {
        qrv::sim::SimulatorOptions options;
        options.baud = baud;
        options.splitEvery = split;
        options.adapter = adapter;
        options.faults = std::move(faults);
        sim_ = std::make_unique<qrv::sim::Simulator>(scenario, options);
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        baud_ = baud;
    }

    qrv::client::CheckResult Quality(int reads) {
        const auto checks = qrv::client::LineChecks(sim_->SlavePath(), reads);
        EXPECT_EQ(checks.front().Fact("baud"), std::to_string(baud_)) << checks.front().found;
        return checks.back();
    }
};

TEST_F(LineShapes, SplitAnswersFailWithoutTolerantReadsAndPassWithThem) {
    StartShaped(115200, std::chrono::milliseconds(8));
    // A generous read time-out: a loaded machine may hold the second piece back.
    const std::vector<std::string> ad{"ad", "--port", sim_->SlavePath(), "--baud", "115200", "--timeout", "1000"};
    EXPECT_NE(RunQrvctl(ad).exit, 0);
    // The answer's late piece must not land in the next run's first read.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::vector<std::string> withMode = ad;
    withMode.push_back("--tolerant-reads");
    const Outcome tolerant = RunQrvctl(withMode);
    EXPECT_EQ(tolerant.exit, 0) << tolerant.err;
    // The doctor sees it, and recommends the mode.
    const qrv::client::CheckResult split = Quality(4);
    EXPECT_EQ(split.outcome, "split") << split.found;
    EXPECT_EQ(split.verdict, CheckVerdict::Fail) << split.found;
    EXPECT_NE(split.advice.find("--tolerant-reads"), std::string::npos);
    Q_SetTolerantReads(1);
    const qrv::client::CheckResult tolerated = Quality(4);
    EXPECT_EQ(tolerated.Fact("failures"), "0") << tolerated.found;
    EXPECT_NE(tolerated.Fact("pieces"), "0") << tolerated.found;
}

TEST_F(LineShapes, AWholeLinePassesAnFtdiLineWarnsForTolerantReads) {
    StartShaped(460800, std::chrono::milliseconds(0));
    const qrv::client::CheckResult clean = Quality(6);
    EXPECT_EQ(clean.verdict, CheckVerdict::Pass) << clean.found;
    qrv::sim::AdapterShape ftdi;
    std::string error;
    ASSERT_TRUE(qrv::sim::ParseAdapter("ftdi:16", ftdi, error));
    StartShaped(460800, std::chrono::milliseconds(0), ftdi);
    // Late answers, now and then one cut by a timer tick: either way a warning.
    const qrv::client::CheckResult late = Quality(10);
    EXPECT_EQ(late.verdict, CheckVerdict::Warn) << late.found;
    EXPECT_NE(late.advice.find("--tolerant-reads"), std::string::npos) << late.outcome;
    // With the mode on the answers are still late, but nothing is cut.
    Q_SetTolerantReads(1);
    const qrv::client::CheckResult tolerated = Quality(4);
    EXPECT_EQ(tolerated.outcome, "late") << tolerated.found;
    EXPECT_EQ(tolerated.advice.find("--tolerant-reads"), std::string::npos) << tolerated.advice;
}

// Tolerant reads on one context leave the flat setting alone; the
// environment turns them on for a program; an answer whose rest never comes
// still ends at the read time-out.
TEST_F(LineShapes, TolerantReadsPerContextFromTheEnvironmentAndBounded) {
    StartShaped(115200, std::chrono::milliseconds(8));
    const std::string path = sim_->SlavePath();
    const std::wstring wide(path.begin(), path.end());
    std::uint8_t ad[8];
    QRV_CTX* ctx = Q_CtxNew();
    ASSERT_EQ(Q_CtxOpenCom(ctx, wide.c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, 1000), 1);
    EXPECT_EQ(Q_CtxQRV_LoadInfo(ctx), 1);  // read after a pause: whole
    EXPECT_EQ(Q_CtxSetTolerantReads(ctx, 1), 0);
    EXPECT_EQ(Q_CtxQRV_GetADvalueLocal(ctx, ad, sizeof ad), 1);
    EXPECT_EQ(Q_SetTolerantReads(0), 0);
    Q_CtxCloseCom(ctx);
    Q_CtxFree(ctx);

    setenv("QRVLINK_TOLERANT_READS", "1", 1);
    const Outcome fromEnvironment = RunQrvctl({"ad", "--port", path, "--baud", "115200", "--timeout", "1000"});
    unsetenv("QRVLINK_TOLERANT_READS");
    EXPECT_EQ(fromEnvironment.exit, 0) << fromEnvironment.err;

    qrv::sim::Fault truncate;
    std::string error;
    ASSERT_TRUE(qrv::sim::ParseFault("truncate,cmd=io-D7", truncate, error)) << error;
    StartShaped(115200, std::chrono::milliseconds(0), {}, qrv::sim::Scenario::Default(), {truncate});
    const std::wstring cut(sim_->SlavePath().begin(), sim_->SlavePath().end());
    ASSERT_EQ(Q_OpenCom(cut.c_str(), 115200, 8, 0, 0, 0, 0, 0, 0, 300), 1);
    EXPECT_EQ(Q_QRV_LoadInfo(), 1);
    Q_SetTolerantReads(1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NE(Q_QRV_GetADvalueLocal(ad, sizeof ad), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    Q_CloseCom();
}

// The line checks' other outcomes: a module in its boot loader, exchanges
// that fail with nothing cut short, a port that stays silent, no port.
TEST_F(LineShapes, EveryOtherLineOutcome) {
    qrv::sim::Scenario boot = qrv::sim::Scenario::Default();
    boot.local.record.RunState = qrv::kRunStateBoot;
    boot.local.record.DevType = qrv::kDevTypeBoot;
    qrv::sim::Fault drop;
    std::string error;
    ASSERT_TRUE(qrv::sim::ParseFault("drop,cmd=io-D7,p=0.5", drop, error)) << error;

    StartShaped(115200, std::chrono::milliseconds(0), {}, boot);
    auto checks = qrv::client::LineChecks(sim_->SlavePath(), 2);
    ASSERT_EQ(checks.size(), 3u);
    EXPECT_EQ(checks[1].outcome, "in-boot");
    EXPECT_NE(checks[1].advice.find("qrvctl upgrade --port"), std::string::npos);

    StartShaped(115200, std::chrono::milliseconds(0), {}, qrv::sim::Scenario::Default(), {drop});
    const qrv::client::CheckResult failing = Quality(4);
    EXPECT_EQ(failing.outcome, "failures") << failing.found;
    EXPECT_EQ(failing.verdict, CheckVerdict::Fail);

    sim_.reset();
    const int silent = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(silent, 0);
    ASSERT_EQ(grantpt(silent) | unlockpt(silent), 0);
    checks = qrv::client::LineChecks(ptsname(silent), 2);
    close(silent);
    EXPECT_EQ(checks.front().outcome, "no-answer") << checks.front().found;
    EXPECT_NE(checks.front().advice.find("qrvctl monitor"), std::string::npos);
    EXPECT_EQ(checks.back().verdict, CheckVerdict::Skip);

    checks = qrv::client::LineChecks("/dev/qrv-no-such-port", 2);
    EXPECT_EQ(checks.front().outcome, "cannot-open") << checks.front().found;
    EXPECT_EQ(checks.back().outcome, "no-module");
}

}  // namespace
}  // namespace qrvctl::testing
