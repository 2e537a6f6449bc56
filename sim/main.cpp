// qrvsim: a simulated module network on a pseudo-terminal. Prints the slave
// path on standard output, then serves it until Ctrl-C or SIGTERM.
#include <getopt.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "sim/port_link.h"
#include "sim/scenario_json.h"
#include "sim/simulator.h"

namespace {

using namespace qrv::sim;

constexpr int kExitUsage = 2;

const char kHelp[] =
    "Usage: qrvsim [OPTION]...\n"
    "Simulates a radio module on a serial line (the local module) and the far\n"
    "modules it reaches over the air, on a pseudo-terminal. The slave path is\n"
    "printed on standard output; point a serial program at it. Ctrl-C or SIGTERM\n"
    "ends the simulator.\n"
    "\n"
    "  --scenario FILE  network to simulate (JSON); without it a built-in network:\n"
    "                   a host module on channel 11 / 250 K and five far modules\n"
    "  --persist        on exit, write the modules' accepted changes back to the\n"
    "                   scenario file (needs --scenario)\n"
    "  --link PATH      also make PATH a symbolic link to the slave (removed on exit)\n"
    "  --no-announce    do not announce the port in the per-user folder\n"
    "                   $XDG_RUNTIME_DIR/qrvsim/ (or /tmp/qrvsim-UID/) as qrvsimN\n"
    "  --baud N         the module's line rate (default 115200): answers are paced\n"
    "                   at it, 10 bits a byte, and a host whose line is set to\n"
    "                   another rate is not understood (silence, or line noise\n"
    "                   with \"baud_mismatch\": \"junk\" in the scenario)\n"
    "  --any-baud       understand the host whatever rate its line is set to\n"
    "  --latency MS     time from a request's last byte to its answer (default 3)\n"
    "  --air-latency MS added each way for a far module (default 2)\n"
    "  --restart-ms MS  how long a module stays silent after a reset (default 250)\n"
    "  --late-ms MS     extra delay of an answer hit by the late fault (default 1500)\n"
    "  --seed N         seed of the fault draws and the AD drift (default 1)\n"
    "  --fault FAULT     inject a fault; may be repeated. FAULT is\n"
    "                   KIND[,cmd=COMMAND][,p=PROBABILITY][,n=COUNT]\n"
    "                   KIND: drop (no answer), status (status byte not 0),\n"
    "                   truncate (first half only), split (two bursts with a gap\n"
    "                   over the host's read interval), garbage (stray bytes\n"
    "                   first), late (answer after the host stopped reading),\n"
    "                   unplug (the pty closes and qrvsim ends), forget (a\n"
    "                   property write is acknowledged but not kept), extend (a\n"
    "                   byte more), flip (last byte inverted), echo (another\n"
    "                   command code repeated), oversize (run on to 1100 bytes)\n"
    "                   COMMAND: D1..DB (0xAB family), io-D4..io-D7 (0xAA family)\n"
    "                   or a name such as read-property; default every command\n"
    "                   PROBABILITY: 0..1 (default 1); COUNT: times (default always)\n"
    "  --adapter KIND   deliver answers as a USB adapter would: in its packets,\n"
    "                   with its latency timer between them. KIND: ftdi (62-byte\n"
    "                   packets, 16 ms), ch340 (32 bytes, 1 ms), cp210x, pl2303\n"
    "                   (64 bytes, 1 ms); KIND:MS sets the timer (ftdi:2)\n"
    "  --split GAP_MS   cut every answer once at a random point, the second piece\n"
    "                   GAP_MS after the first\n"
    "  --trace          write every frame both ways to standard error, in hex\n"
    "                   with a one-line decoding\n"
    "  --help           show this help and exit\n";

struct CommandLine {
    SimulatorOptions options;
    std::string scenarioPath;
    std::string linkPath;
    bool persist = false;
    bool announce = true;
    bool trace = false;
    unsigned stationModules = 0;
    std::chrono::milliseconds swapGap{2000};
    std::optional<std::chrono::milliseconds> leaveAfter;
};

constexpr std::uint16_t kFirstStationAddress = 0x2001;

// The scenario's local module comes first, then copies of it that differ in
// their address, as modules from one batch do.
StationLine MakeStation(Scenario& scenario, const CommandLine& cl) {
    StationLine line;
    line.gap = cl.swapGap;
    line.leaveAfterWrite = cl.leaveAfter;
    const ModuleConfig first = scenario.local;
    for (unsigned i = 0; i < cl.stationModules; ++i) {
        ModuleConfig m = first;
        m.record.LocalAddr = m.factory.LocalAddr = static_cast<std::uint16_t>(kFirstStationAddress + i);
        if (i == 0)
            scenario.local = m;
        else
            line.waiting.push_back(m);
    }
    return line;
}

bool ParseNumber(const char* text, unsigned long max, unsigned long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoul(text, &end, 10);
    return *text && *end == '\0' && errno == 0 && out <= max;
}

// Returns -1 to go on, or the exit status.
int Parse(int argc, char** argv, CommandLine& cl) {
    enum {
        kScenario = 1000,
        kPersist,
        kLink,
        kNoAnnounce,
        kBaud,
        kAnyBaud,
        kLatency,
        kAirLatency,
        kRestart,
        kLate,
        kSeed,
        kFault,
        kTrace,
        kStation,
        kSwapGap,
        kLeaveAfter,
        kAdapter,
        kSplit,
        kHelpOption
    };
    static const option kOptions[] = {
        {"scenario", required_argument, nullptr, kScenario},
        {"persist", no_argument, nullptr, kPersist},
        {"link", required_argument, nullptr, kLink},
        {"no-announce", no_argument, nullptr, kNoAnnounce},
        {"baud", required_argument, nullptr, kBaud},
        {"any-baud", no_argument, nullptr, kAnyBaud},
        {"latency", required_argument, nullptr, kLatency},
        {"air-latency", required_argument, nullptr, kAirLatency},
        {"restart-ms", required_argument, nullptr, kRestart},
        {"late-ms", required_argument, nullptr, kLate},
        {"seed", required_argument, nullptr, kSeed},
        {"fault", required_argument, nullptr, kFault},
        {"trace", no_argument, nullptr, kTrace},
        {"station", required_argument, nullptr, kStation},
        {"swap-gap", required_argument, nullptr, kSwapGap},
        {"leave-after", required_argument, nullptr, kLeaveAfter},
        {"adapter", required_argument, nullptr, kAdapter},
        {"split", required_argument, nullptr, kSplit},
        {"help", no_argument, nullptr, kHelpOption},
        {nullptr, 0, nullptr, 0},
    };
    for (;;) {
        const int id = getopt_long(argc, argv, "", kOptions, nullptr);
        if (id == -1) break;
        unsigned long n = 0;
        auto number = [&](unsigned long max) {
            if (ParseNumber(optarg, max, n)) return true;
            std::fprintf(stderr, "qrvsim: bad number \"%s\"\n", optarg);
            return false;
        };
        switch (id) {
            case kScenario:
                cl.scenarioPath = optarg;
                break;
            case kPersist:
                cl.persist = true;
                break;
            case kLink:
                cl.linkPath = optarg;
                break;
            case kNoAnnounce:
                cl.announce = false;
                break;
            case kBaud:
                if (!number(4000000) || n < 50) return kExitUsage;
                cl.options.baud = static_cast<unsigned>(n);
                break;
            case kAnyBaud:
                cl.options.anyBaud = true;
                break;
            case kLatency:
                if (!number(60000)) return kExitUsage;
                cl.options.latency = std::chrono::milliseconds(n);
                break;
            case kAirLatency:
                if (!number(60000)) return kExitUsage;
                cl.options.airLatency = std::chrono::milliseconds(n);
                break;
            case kRestart:
                if (!number(600000)) return kExitUsage;
                cl.options.restartTime = std::chrono::milliseconds(n);
                break;
            case kLate:
                if (!number(600000)) return kExitUsage;
                cl.options.lateDelay = std::chrono::milliseconds(n);
                break;
            case kSeed:
                if (!number(~0ul)) return kExitUsage;
                cl.options.seed = n;
                break;
            case kFault: {
                Fault fault;
                std::string error;
                if (!ParseFault(optarg, fault, error)) {
                    std::fprintf(stderr, "qrvsim: --fault %s: %s\n", optarg, error.c_str());
                    return kExitUsage;
                }
                cl.options.faults.push_back(fault);
                break;
            }
            case kTrace:
                cl.trace = true;
                break;
            case kStation:
                if (!number(0xDFFE) || n < 1) return kExitUsage;
                cl.stationModules = static_cast<unsigned>(n);
                break;
            case kSwapGap:
                if (!number(600000)) return kExitUsage;
                cl.swapGap = std::chrono::milliseconds(n);
                break;
            case kLeaveAfter:
                if (!number(600000)) return kExitUsage;
                cl.leaveAfter = std::chrono::milliseconds(n);
                break;
            case kAdapter: {
                AdapterShape adapter;
                std::string error;
                if (!ParseAdapter(optarg, adapter, error)) {
                    std::fprintf(stderr, "qrvsim: --adapter %s: %s\n", optarg, error.c_str());
                    return kExitUsage;
                }
                cl.options.adapter = adapter;
                break;
            }
            case kSplit:
                if (!number(60000) || n == 0) return kExitUsage;
                cl.options.splitEvery = std::chrono::milliseconds(n);
                break;
            case kHelpOption:
                std::fputs(kHelp, stdout);
                return EXIT_SUCCESS;
            default:
                std::fputs("Try 'qrvsim --help'.\n", stderr);
                return kExitUsage;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "qrvsim: unexpected argument \"%s\"\n", argv[optind]);
        return kExitUsage;
    }
    if (cl.persist && cl.scenarioPath.empty()) {
        std::fputs("qrvsim: --persist needs --scenario FILE\n", stderr);
        return kExitUsage;
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine cl;
    if (const int status = Parse(argc, argv, cl); status >= 0) return status;

    Scenario scenario = Scenario::Default();
    std::string error;
    if (!cl.scenarioPath.empty() && !LoadScenarioFile(cl.scenarioPath, scenario, error)) {
        std::fprintf(stderr, "qrvsim: %s\n", error.c_str());
        return EXIT_FAILURE;
    }
    if (cl.stationModules) cl.options.station = MakeStation(scenario, cl);

    // The signals are taken synchronously by sigwaitinfo below; blocking them
    // before the simulator's thread starts keeps them off that thread.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);  // the simulator's own: the module was unplugged
    sigaddset(&signals, SIGUSR2);  // the operator takes the module off the line
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    const auto started = std::chrono::steady_clock::now();
    if (cl.trace)
        cl.options.trace = [started](const std::string& line) {
            const double t = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            std::fprintf(stderr, "[%10.6f] %s\n", t, line.c_str());
        };
    cl.options.onUnplugged = [] { kill(getpid(), SIGUSR1); };

    Simulator sim(scenario, cl.options);
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "qrvsim: cannot create the pty: %s\n", error.c_str());
        return EXIT_FAILURE;
    }
    PortLink userLink, announced;
    if (!cl.linkPath.empty() && !userLink.Create(cl.linkPath, sim.SlavePath(), error)) {
        std::fprintf(stderr, "qrvsim: --link: %s\n", error.c_str());
        return EXIT_FAILURE;
    }
    if (cl.announce && !announced.Announce(AnnounceDirectory(), sim.SlavePath(), error))
        std::fprintf(stderr, "qrvsim: cannot announce the port: %s\n", error.c_str());
    if (!announced.Path().empty()) std::fprintf(stderr, "qrvsim: announced as %s\n", announced.Path().c_str());
    std::printf("%s\n", sim.SlavePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    for (;;) {
        signal = sigwaitinfo(&signals, nullptr);
        if (signal < 0) continue;
        if (signal != SIGUSR2) break;
        if (!sim.TakeOff()) std::fputs("qrvsim: no module on the line\n", stderr);
    }
    if (signal == SIGUSR1) std::fputs("qrvsim: the module was unplugged\n", stderr);

    sim.Stop();
    int status = EXIT_SUCCESS;
    if (cl.persist && !SaveScenarioFile(cl.scenarioPath, sim.CurrentScenario(), error)) {
        std::fprintf(stderr, "qrvsim: --persist: %s\n", error.c_str());
        status = EXIT_FAILURE;
    }
    return status;
}
