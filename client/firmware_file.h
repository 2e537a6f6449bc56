// A firmware image checked before any module is told to prepare for it: its
// header, its regions and whether the file holds every block they name.
// The counts give an upgrade's length in blocks and its protocol time.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

#include "client/status.h"

namespace qrv::client {

struct FirmwareFile {
    int version = 0;
    std::size_t firstBlocks = 0;   // written to slow memory: a second each
    std::size_t secondBlocks = 0;  // 10 ms each
    std::size_t Blocks() const { return firstBlocks + secondBlocks; }
};

Status CheckFirmwareFile(const std::string& path, FirmwareFile& out);

// The fixed pauses of an upgrade: the prepare step's restart (unless the
// boot loader already runs), a pause per block, and the two closing restarts.
std::chrono::milliseconds UpgradeFloor(const FirmwareFile& image, bool prepareFirst);

// What an upgrade still takes `sinceDone` after its `done`th block (first
// region first) was acknowledged, `atDone` after it began: the pauses still
// to come, stretched by how much longer than its pauses the upgrade took up
// to that block.
std::chrono::milliseconds UpgradeTimeLeft(const FirmwareFile& image, bool prepareFirst, std::size_t done,
                                          std::chrono::milliseconds atDone, std::chrono::milliseconds sinceDone);

}  // namespace qrv::client
