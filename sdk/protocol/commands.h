// The command table: every command of both frame families with its name,
// its request length and the answer the module gives. Shared by the SDK's
// frame decoder, the simulator and the tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "protocol/protocol_constants.h"

namespace qrv::protocol {

enum class Family : std::uint8_t { Config, Io };

// A command is named by its family and code: 0xAB 0xD4 tunes the radio,
// 0xAA 0xD4 sets IO directions.
struct CommandKey {
    Family family = Family::Config;
    std::uint8_t code = 0;

    friend bool operator==(const CommandKey&, const CommandKey&) = default;
};

constexpr CommandKey ConfigKey(std::uint8_t code) { return {Family::Config, code}; }
constexpr CommandKey IoKey(std::uint8_t code) { return {Family::Io, code}; }

struct CommandInfo {
    CommandKey key;
    const char* name;           // "read-base-info", "io-set-outputs", ...
    std::size_t requestLength;  // 0xD9: the first region's 71 (the second's is 72)
    std::size_t answerLength;   // 0: no answer (0xD7 reset); 0xD2: at least this many
    std::optional<std::size_t> statusAt;  // the answer's status byte, if it has one
};

std::span<const CommandInfo> Commands();
const CommandInfo* FindCommand(CommandKey key);

std::uint8_t StartByte(Family family);
std::uint8_t EndByte(Family family);
// The family a start byte opens, none for any other byte.
std::optional<Family> FamilyOf(std::uint8_t startByte);

// The table's name, or "0xAB 0x??" style for a code it does not know.
std::string CommandName(CommandKey key);

// Where the answer to `key` keeps its status byte; none for answers that
// carry data instead (0xD1, 0xD2, the searches, the IO reads).
std::optional<std::size_t> StatusPosition(CommandKey key);

}  // namespace qrv::protocol
