// Windows has no iconv: the same conversions go through UTF-16 with
// MultiByteToWideChar / WideCharToMultiByte, naming encodings by code page.
#include "text/module_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace qrv::text {

namespace {

constexpr UINT kUtf16 = 1200;  // Windows' own number for UTF-16LE, here for "WCHAR_T"

// The encoding names the callers use, as code pages; 0 when unknown.
UINT CodePageOf(const char* name) {
    struct Known {
        const char* name;
        UINT codePage;
    };
    static constexpr Known kKnown[] = {
        {"UTF-8", CP_UTF8}, {"CP936", 936},     {"GBK", 936},
        {"GB18030", 54936}, {"WCHAR_T", kUtf16}, {"UTF-16LE", kUtf16},
    };
    for (const Known& known : kKnown) {
        if (_stricmp(name, known.name) != 0) continue;
        // Without GB18030 (wine has none) its GBK part still converts: the
        // two agree on every character of one or two bytes.
        if (known.codePage == 54936 && !IsValidCodePage(54936)) return 936;
        return known.codePage;
    }
    return 0;
}

// UTF-8 and GB18030 refuse the "best fit" and "default char used" flags.
bool TakesFallbackFlags(UINT codePage) { return codePage != CP_UTF8 && codePage != 54936; }

// One unit of input decoded to UTF-16, or false when it is not valid.
bool DecodeExact(std::string_view bytes, UINT codePage, std::wstring& out) {
    if (bytes.empty()) return true;
    if (codePage == kUtf16) {
        if (bytes.size() % 2 != 0) return false;
        const std::size_t start = out.size();
        out.resize(start + bytes.size() / 2);
        std::memcpy(out.data() + start, bytes.data(), bytes.size());
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), size, out.data() + start, length);
    return true;
}

// Decodes what it can; each byte that starts no valid character becomes
// U+FFFD. A character is at most four bytes in the encodings named above,
// so the shortest run that decodes is the next character.
std::wstring DecodeLenient(std::string_view bytes, UINT codePage) {
    std::wstring out;
    if (DecodeExact(bytes, codePage, out)) return out;
    out.clear();
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t length = 1;
        const std::size_t longest = std::min<std::size_t>(4, bytes.size() - at);
        while (length <= longest && !DecodeExact(bytes.substr(at, length), codePage, out)) ++length;
        if (length > longest) {
            out += L'\xFFFD';
            length = 1;
        }
        at += length;
    }
    return out;
}

// Encodes UTF-16; `exact` refuses any character the code page lacks
// (no best-fit look-alikes either: "é" must not quietly become "e").
std::optional<std::string> Encode(const std::wstring& wide, UINT codePage, bool exact) {
    if (wide.empty()) return std::string();
    if (codePage == kUtf16) return std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2);
    const int size = static_cast<int>(wide.size());
    const bool fallbackFlags = TakesFallbackFlags(codePage);
    const DWORD flags = fallbackFlags ? WC_NO_BEST_FIT_CHARS : (exact ? WC_ERR_INVALID_CHARS : 0);
    BOOL usedDefault = FALSE;
    BOOL* usedDefaultPtr = fallbackFlags ? &usedDefault : nullptr;
    const char* defaultChar = fallbackFlags ? "?" : nullptr;
    const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, defaultChar, usedDefaultPtr);
    if (length <= 0 || (exact && usedDefault)) return std::nullopt;
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, out.data(), length, defaultChar, usedDefaultPtr);
    return out;
}

}  // namespace

std::string ConvertLenient(std::string_view bytes, const char* from, const char* to) {
    const UINT fromPage = CodePageOf(from), toPage = CodePageOf(to);
    if (fromPage == 0 || toPage == 0) return {};
    std::wstring wide = DecodeLenient(bytes, fromPage);
    if (toPage == CP_UTF8 || toPage == kUtf16 || toPage == 54936) return Encode(wide, toPage, false).value_or("");
    // Toward a legacy code page a character it lacks (U+FFFD among them) is
    // one '?': it has no character beyond the BMP, so a surrogate pair is one.
    std::wstring single;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        const wchar_t c = wide[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF;
        single += (c == L'\xFFFD' || pair) ? L'?' : c;
        if (pair) ++i;
    }
    return Encode(single, toPage, false).value_or("");
}

std::optional<std::string> ConvertExact(std::string_view bytes, const char* from, const char* to) {
    const UINT fromPage = CodePageOf(from), toPage = CodePageOf(to);
    if (fromPage == 0 || toPage == 0) return std::nullopt;
    std::wstring wide;
    if (!DecodeExact(bytes, fromPage, wide)) return std::nullopt;
    return Encode(wide, toPage, true);
}

}  // namespace qrv::text
