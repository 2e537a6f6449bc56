#include "protocol/commands.h"

#include <cstdio>

namespace qrv::protocol {

namespace {

constexpr CommandKey Config(std::uint8_t code) { return {Family::Config, code}; }
constexpr CommandKey Io(std::uint8_t code) { return {Family::Io, code}; }

constexpr std::optional<std::size_t> kNoStatus = std::nullopt;

constexpr CommandInfo kCommands[] = {
    {Config(kCmdReadBaseInfo), "read-base-info", kLenReadBaseInfo, kAnswerLenBaseInfo, kNoStatus},
    {Config(kCmdReadProperty), "read-property", kLenReadProperty, kAnswerLenProperty, kNoStatus},
    {Config(kCmdWriteProperty), "write-property", kLenWriteProperty, kAnswerLenWriteProperty, kWriteAnswerStatusAt},
    {Config(kCmdTuneRadio), "tune-radio", kLenTuneRadio, kAnswerLenTune, kTuneAnswerStatusAt},
    {Config(kCmdSearchBroadcast), "search-broadcast", kLenSearchBroadcast, kAnswerLenSearch, kNoStatus},
    {Config(kCmdSearchByAddr), "search-by-addr", kLenSearchByAddr, kAnswerLenSearch, kNoStatus},
    // The module restarts: there is no answer to a reset.
    {Config(kCmdResetModule), "reset", kLenAddrTypeCommand, 0, kNoStatus},
    {Config(kCmdEnterUpdate), "enter-update", kLenAddrTypeCommand, kAnswerLenAddrTypeCommand, kStepAnswerStatusAt},
    {Config(kCmdFirmwareBlock), "firmware-block", kLenBlockFirstRegion, kAnswerLenFirmwareBlock, kStepAnswerStatusAt},
    {Config(kCmdFinishUpdate), "finish-update", kLenAddrTypeCommand, kAnswerLenAddrTypeCommand, kStepAnswerStatusAt},
    {Config(kCmdFactoryReset), "factory-reset", kLenAddrTypeCommand, kAnswerLenAddrTypeCommand, kStepAnswerStatusAt},
    {Io(kIoCmdSetDirections), "io-set-directions", kLenIoWrite, kAnswerLenIoWrite, kIoAnswerByteAt},
    {Io(kIoCmdSetOutputs), "io-set-outputs", kLenIoWrite, kAnswerLenIoWrite, kIoAnswerByteAt},
    {Io(kIoCmdReadInputs), "io-read-inputs", kLenIoRead, kAnswerLenIoInputs, kNoStatus},
    {Io(kIoCmdReadAd), "io-read-ad", kLenIoRead, kAnswerLenAd, kNoStatus},
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
