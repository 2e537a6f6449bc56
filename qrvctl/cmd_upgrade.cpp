// upgrade: the image checked before the module hears of it, the upgrade on
// a worker thread, and a progress bar on the terminal meanwhile.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <thread>

#include "client/firmware_file.h"
#include "qrvctl/command_support.h"
#include "qrvctl/interrupt.h"
#include "qrvctl/progress_line.h"

namespace qrvctl {

using namespace qrv::client;
using namespace std::chrono;

int RunUpgrade(const CommonOptions& options, const Target& target, const std::string& file) {
    const Printer printer(options.json, options.quiet);
    FirmwareFile image;
    if (Status st = CheckFirmwareFile(file, image); !st.Ok()) return Finish(st);
    Connection connection;
    std::unique_ptr<ModuleAccess> module;
    if (Status st = Open(Writing(options), target, printer, connection, module); !st.Ok()) return Finish(st);
    ModuleRecords before;
    if (Status st = module->Read(before); !st.Ok()) return Finish(st);

    constexpr std::uint8_t kRunStateBoot = 0x55;  // the boot loader runs: no prepare step
    const bool prepareFirst = before.base.RunState != kRunStateBoot;
    printer.Note("upgrading " + module->Describe() + " with " + std::to_string(image.Blocks()) + " blocks");
    ProgressLine progress(options.quiet);
    const steady_clock::time_point start = steady_clock::now();
    // The SDK reports each acknowledged block on the upgrading thread: the
    // count and when it came (ms since the start), packed to read as one.
    std::atomic<std::uint64_t> lastBlock{0};
    std::future<Status> upgrade = std::async(std::launch::async, [&] {
        // Nothing else talks to the SDK while the worker runs.
        return module->Upgrade(file, before, [&](int done, int) {
            const auto at = duration_cast<milliseconds>(steady_clock::now() - start).count();
            lastBlock = static_cast<std::uint64_t>(done) << 32 | static_cast<std::uint32_t>(at);
        });
    });
    UpgradeProgress shown;
    shown.blocks = static_cast<int>(image.Blocks());
    // An upgrade cannot stop halfway: the first Ctrl-C says what quitting
    // would leave behind and lets the upgrade finish; a second one quits.
    const StopOnInterrupt interrupt;
    bool warned = false;
    do {
        if (StopOnInterrupt::Requested() && !warned) {
            warned = true;
            progress.Clear();
            std::fprintf(stderr,
                         "qrvctl: the upgrade goes on: quitting now leaves the module in its boot loader, and it "
                         "answers only to an upgrade until one finishes.\n"
                         "qrvctl: Ctrl-C again quits; then run the same `qrvctl upgrade` again to finish.\n");
        }
        const std::uint64_t last = lastBlock;
        const milliseconds atDone(last & 0xFFFFFFFF);
        shown.block = static_cast<int>(last >> 32);
        shown.elapsed = duration_cast<milliseconds>(steady_clock::now() - start);
        shown.left = UpgradeTimeLeft(image, prepareFirst, static_cast<std::size_t>(shown.block), atDone,
                                     shown.elapsed - atDone);
        progress.Show(UpgradeProgressText(shown));
    } while (upgrade.wait_for(milliseconds(200)) != std::future_status::ready);
    progress.Clear();
    if (Status st = upgrade.get(); !st.Ok()) return Finish(st);

    ModuleRecords after;
    const bool reread = module->Read(after).Ok();
    if (printer.Json()) {
        Json json = ModuleJson(*module);
        json["blocks"] = image.Blocks();
        json["upgraded"] = true;
        if (reread) json["identity"] = IdentityJson(after.base);
        printer.Document(json);
    } else {
        printer.Text(module->Describe() + " upgraded" +
                     (reread ? ": firmware " + FirmwareVersionText(after.base.FwVersion) : std::string()));
    }
    return Finish({});
}

}  // namespace qrvctl
