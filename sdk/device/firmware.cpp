// Firmware upgrade: the module is told to prepare (unless its boot loader
// already runs), takes the image block by block, each acknowledged with its
// address and offset echoed, and is told to finish and restart. The image is
// read and checked whole first, so a bad file never leaves a module waiting
// in its boot loader for blocks that will not come.
#include <cstring>

#include "device/firmware_image.h"
#include "device/qrv_dev.h"
#include "records/module_records.h"

namespace qrv {

using namespace protocol;

namespace {
constexpr int kAttemptsPerBlock = 3;
// The restarts that close an upgrade carry device type 0.
constexpr std::uint16_t kFinishResetType = 0;
}  // namespace

Outcome CQRVDev::EnterUpdate(std::uint16_t addr, std::uint16_t type) {
    if (Outcome sent = Send(BuildEnterUpdate(addr, type)); !sent.Ok()) return sent;
    const Reply reply = Receive(ConfigKey(kCmdEnterUpdate));
    if (Outcome judged = Judge(ConfigKey(kCmdEnterUpdate), reply, CheckUpdateStepAnswer(reply.answer)); !judged.Ok())
        return judged;
    // The restart puts the module into its boot loader.
    return ResetModule(addr, type, -1);
}

Outcome CQRVDev::FinishUpdate(std::uint16_t addr, std::uint16_t type) {
    if (Outcome sent = Send(BuildFinishUpdate(addr, type)); !sent.Ok()) return sent;
    const Reply reply = Receive(ConfigKey(kCmdFinishUpdate));
    const Outcome accepted = Judge(ConfigKey(kCmdFinishUpdate), reply, CheckUpdateStepAnswer(reply.answer));
    // One restart whatever the answer; a second one after a good finish.
    ResetModule(addr, kFinishResetType, -1);
    if (!accepted.Ok()) return accepted;
    return ResetModule(addr, kFinishResetType, -1);
}

Outcome CQRVDev::SendFirmwareBlock(std::uint16_t addr, std::uint16_t offset, const std::uint8_t* data,
                                   FirmwareRegion region) {
    std::uint8_t block[kFirmwareBlockSize];
    std::memcpy(block, data, sizeof block);
    const Frame frame = BuildFirmwareBlock(addr, offset, block, region);
    // The first region is written to slow memory: its blocks need a second.
    const unsigned wait = region == FirmwareRegion::First ? kWaitBlockFirstRegionMs : kWaitBlockSecondRegionMs;
    Outcome last;
    for (int attempt = 0; attempt < kAttemptsPerBlock; ++attempt) {
        if (attempt > 0) {
            if (Outcome paused = Pause(kWaitBlockRetryMs); !paused.Ok()) return paused;
        }
        // Only the acknowledgement counts; a lost write shows as no answer.
        Send(frame);
        if (Outcome paused = Pause(wait); !paused.Ok()) return paused;
        const Reply reply = Receive(ConfigKey(kCmdFirmwareBlock));
        last = Judge(ConfigKey(kCmdFirmwareBlock), reply, CheckFirmwareBlockAnswer(reply.answer, addr, offset));
        if (last.Ok() || last.reason == Reason::PortLost) return last;
    }
    last.detail += Printf(" (block 0x%04X, %d attempts)", offset, kAttemptsPerBlock);
    return last;
}

Outcome CQRVDev::SendFirmwareRegion(const firmware::Image& image, const firmware::Region& region, std::uint16_t addr,
                                    UpgradeListener& listener, int& done, int total) {
    for (std::size_t n = 0; n < region.blocks; ++n) {
        const auto offset = static_cast<std::uint16_t>(region.start + n * kFirmwareBlockSize);
        if (Outcome sent = SendFirmwareBlock(addr, offset, image.Block(region, n), region.kind); !sent.Ok())
            return sent;
        listener.Progress(++done, total);
    }
    return Success();
}

Outcome CQRVDev::UpdateWithFile(const wchar_t* path, std::uint8_t runState, std::uint16_t address,
                                std::uint16_t devType, UpgradeListener& listener) {
    if (path == nullptr || path[0] == L'\0' || path[0] == L' ')
        return Failure(Reason::BadArgument, "no image path given (empty, or starting with a blank)");

    const firmware::LoadResult loaded = firmware::LoadImage(path);
    if (loaded.fault != firmware::Fault::None) {
        listener.Message(firmware::FaultMessageKind(loaded.fault), firmware::FaultMessage(loaded, loaded.path));
        return Failure(Reason::BadImage, firmware::FaultDetail(loaded), loaded.systemError);
    }

    const int total = static_cast<int>(loaded.image.first.blocks + loaded.image.second.blocks);
    int done = 0;
    const Outcome upgraded = SendImage(loaded.image, runState, address, devType, listener, done, total);
    // The adapter gone mid-upgrade leaves the module in its boot loader with
    // part of an image: the host hears of it as of a refused image, not
    // only through the failure reason.
    if (upgraded.reason == Reason::PortLost)
        listener.Message(Q_MSG_ERROR, Printf("固件升级中断：串口已断开（已写入 %d/%d 块），模块停在引导程序中，可重新升级",
                                             done, total));
    return upgraded;
}

Outcome CQRVDev::SendImage(const firmware::Image& image, std::uint8_t runState, std::uint16_t address,
                           std::uint16_t devType, UpgradeListener& listener, int& done, int total) {
    if (runState != kRunStateBoot) {
        if (Outcome entered = EnterUpdate(address, devType); !entered.Ok()) return entered;
    }
    // A block refused three times ends the upgrade with no finish frame: the
    // module stays in its boot loader, ready for another attempt.
    if (Outcome sent = SendFirmwareRegion(image, image.first, address, listener, done, total); !sent.Ok()) return sent;
    if (Outcome sent = SendFirmwareRegion(image, image.second, address, listener, done, total); !sent.Ok()) return sent;
    return FinishUpdate(address, devType);
}

}  // namespace qrv
