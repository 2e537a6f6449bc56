#include "protocol/commands.h"

#include <cstdio>

namespace qrv::protocol {

namespace {

constexpr std::optional<std::size_t> kNoStatus = std::nullopt;

constexpr CommandInfo kCommands[] = {
    {ConfigKey(kCmdReadBaseInfo), "read-base-info", kLenReadBaseInfo, kAnswerLenBaseInfo, kNoStatus},
    {ConfigKey(kCmdReadProperty), "read-property", kLenReadProperty, kAnswerLenProperty, kNoStatus},
    {ConfigKey(kCmdWriteProperty), "write-property", kLenWriteProperty, kAnswerLenWriteProperty, kWriteAnswerStatusAt},
    {ConfigKey(kCmdTuneRadio), "tune-radio", kLenTuneRadio, kAnswerLenTune, kTuneAnswerStatusAt},
    {ConfigKey(kCmdSearchBroadcast), "search-broadcast", kLenSearchBroadcast, kAnswerLenSearch, kNoStatus},
    {ConfigKey(kCmdSearchByAddr), "search-by-addr", kLenSearchByAddr, kAnswerLenSearch, kNoStatus},
    // The module restarts: there is no answer to a reset.
    {ConfigKey(kCmdResetModule), "reset", kLenAddrTypeCommand, 0, kNoStatus},
    {ConfigKey(kCmdEnterUpdate), "enter-update", kLenAddrTypeCommand, kAnswerLenAddrTypeCommand, kStepAnswerStatusAt},
    {ConfigKey(kCmdFirmwareBlock), "firmware-block", kLenBlockFirstRegion, kAnswerLenFirmwareBlock, kStepAnswerStatusAt},
    {ConfigKey(kCmdFinishUpdate), "finish-update", kLenAddrTypeCommand, kAnswerLenAddrTypeCommand, kStepAnswerStatusAt},
    {ConfigKey(kCmdFactoryReset), "factory-reset", kLenAddrTypeCommand, kAnswerLenAddrTypeCommand, kStepAnswerStatusAt},
    {IoKey(kIoCmdSetDirections), "io-set-directions", kLenIoWrite, kAnswerLenIoWrite, kIoAnswerByteAt},
    {IoKey(kIoCmdSetOutputs), "io-set-outputs", kLenIoWrite, kAnswerLenIoWrite, kIoAnswerByteAt},
    {IoKey(kIoCmdReadInputs), "io-read-inputs", kLenIoRead, kAnswerLenIoInputs, kNoStatus},
    {IoKey(kIoCmdReadAd), "io-read-ad", kLenIoRead, kAnswerLenAd, kNoStatus},
};

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

const CommandInfo* FindCommand(CommandKey key) {
    for (const CommandInfo& info : kCommands)
        if (info.key == key) return &info;
    return nullptr;
}

std::uint8_t StartByte(Family family) { return family == Family::Config ? kConfigStart : kIoStart; }
std::uint8_t EndByte(Family family) { return family == Family::Config ? kConfigEnd : kIoEnd; }

std::optional<Family> FamilyOf(std::uint8_t startByte) {
    if (startByte == kConfigStart) return Family::Config;
    if (startByte == kIoStart) return Family::Io;
    return std::nullopt;
}

std::string CommandName(CommandKey key) {
    if (const CommandInfo* info = FindCommand(key)) return info->name;
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X 0x%02X", StartByte(key.family), key.code);
    return text;
}

std::optional<std::size_t> StatusPosition(CommandKey key) {
    const CommandInfo* info = FindCommand(key);
    return info ? info->statusAt : std::nullopt;
}

}  // namespace qrv::protocol
