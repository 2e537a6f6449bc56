// Firmware upgrade: the module is told to prepare (unless its boot loader
// already runs), takes the image block by block, each acknowledged with its
// address and offset echoed, and is told to finish and restart. The image is
// read and checked whole first, so a bad file never leaves a module waiting
// in its boot loader for blocks that will not come.
#include <cerrno>
#include <cstring>

#include "common/wide_utf8.h"
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

int CQRVDev::EnterUpdate(std::uint16_t addr, std::uint16_t type) {
    if (!Send(BuildEnterUpdate(addr, type))) return 0;
    if (!CheckUpdateStepAnswer(Receive()).Ok()) return 0;
    // The restart puts the module into its boot loader.
    return ResetModule(addr, type, -1);
}

int CQRVDev::FinishUpdate(std::uint16_t addr, std::uint16_t type) {
    if (!Send(BuildFinishUpdate(addr, type))) return 0;
    const bool accepted = CheckUpdateStepAnswer(Receive()).Ok();
    // One restart whatever the answer; a second one after a good finish.
    ResetModule(addr, kFinishResetType, -1);
    if (!accepted) return 0;
    return ResetModule(addr, kFinishResetType, -1);
}

bool CQRVDev::SendFirmwareBlock(std::uint16_t addr, std::uint16_t offset, const std::uint8_t* data,
                                FirmwareRegion region) {
    std::uint8_t block[kFirmwareBlockSize];
    std::memcpy(block, data, sizeof block);
    const Frame frame = BuildFirmwareBlock(addr, offset, block, region);
    // The first region is written to slow memory: its blocks need a second.
    const unsigned wait = region == FirmwareRegion::First ? kWaitBlockFirstRegionMs : kWaitBlockSecondRegionMs;
    for (int attempt = 0; attempt < kAttemptsPerBlock; ++attempt) {
        if (attempt > 0) Pause(kWaitBlockRetryMs);
        // Only the acknowledgement counts; a lost write shows as no answer.
        Send(frame);
        Pause(wait);
        if (CheckFirmwareBlockAnswer(Receive(), addr, offset).Ok()) return true;
    }
    return false;
}

bool CQRVDev::SendFirmwareRegion(const firmware::Image& image, const firmware::Region& region, std::uint16_t addr) {
    for (std::size_t n = 0; n < region.blocks; ++n) {
        const auto offset = static_cast<std::uint16_t>(region.start + n * kFirmwareBlockSize);
        if (!SendFirmwareBlock(addr, offset, image.Block(region, n), region.kind)) return false;
    }
    return true;
}

int CQRVDev::UpdateWithFile(const wchar_t* path, std::uint8_t runState, std::uint16_t address,
                            std::uint16_t devType) {
    if (path == nullptr || path[0] == L'\0' || path[0] == L' ') return 0;

    std::string fileName;
    firmware::LoadResult loaded;
    if (WideToUtf8(path, fileName)) {
        loaded = firmware::LoadImage(fileName);
    } else {
        loaded.fault = firmware::Fault::CannotOpen;
        loaded.systemError = EILSEQ;
    }
    if (loaded.fault != firmware::Fault::None) {
        Messages.Show(firmware::FaultMessageKind(loaded.fault), firmware::FaultMessage(loaded, fileName).c_str());
        return 0;
    }

    const firmware::Image& image = loaded.image;
    if (runState != kRunStateBoot && !EnterUpdate(address, devType)) return 0;
    // A block refused three times ends the upgrade with no finish frame: the
    // module stays in its boot loader, ready for another attempt.
    if (!SendFirmwareRegion(image, image.first, address)) return 0;
    if (!SendFirmwareRegion(image, image.second, address)) return 0;
    return FinishUpdate(address, devType);
}

}  // namespace qrv
