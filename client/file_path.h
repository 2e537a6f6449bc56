// File names arrive as UTF-8 (the command line, JSON, the configurator).
// Windows opens files by UTF-16 name; a narrow name there would go through
// the ANSI code page and lose Chinese characters, so every file the client
// opens goes through these.
#pragma once

#include <filesystem>
#include <string>

namespace qrv::client {

// The path a UTF-8 name means, on every platform.
std::filesystem::path Utf8Path(const std::string& utf8);

// Moves `from` over `to`, replacing it if it exists (std::rename refuses
// that on Windows); false when the move failed.
bool MoveOver(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace qrv::client
