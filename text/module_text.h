// Text inside module records: NUL-terminated GBK (code page 936) in fixed
// 16-byte fields, the encoding of the Chinese-locale hosts that write names
// and passwords into modules in the field. Hosts work in UTF-8; every
// conversion between the two goes through here (iconv underneath).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qrv::text {

// glibc's iconv knows code page 936 by this name (an alias of GBK).
inline constexpr const char* kModuleCodePage = "CP936";

// Converts between iconv encodings, never failing: a byte or character the
// other side cannot take becomes U+FFFD (toward UTF-8) or '?' (elsewhere),
// once per bad byte, and conversion goes on after it. An unknown encoding
// gives the empty string.
std::string ConvertLenient(std::string_view bytes, const char* from, const char* to);

// Converts exactly or not at all: nothing when any byte does not convert.
std::optional<std::string> ConvertExact(std::string_view bytes, const char* from, const char* to);

// Record text as UTF-8; undecodable bytes show as U+FFFD.
inline std::string ModuleTextToUtf8(std::string_view gbk) { return ConvertLenient(gbk, kModuleCodePage, "UTF-8"); }

// UTF-8 as record text; nothing when a character has no GBK form.
inline std::optional<std::string> Utf8ToModuleText(std::string_view utf8) {
    return ConvertExact(utf8, "UTF-8", kModuleCodePage);
}

}  // namespace qrv::text
