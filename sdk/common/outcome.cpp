#include "common/outcome.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "common/wide_utf8.h"
#endif

#include <cstdarg>
#include <cstdio>
#include <system_error>

namespace qrv {

std::string Printf(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    const int needed = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (needed < 0) return {};
    if (static_cast<std::size_t>(needed) < sizeof text) return std::string(text, static_cast<std::size_t>(needed));
    // Long paths: format again into a buffer of the right size.
    std::string longer(static_cast<std::size_t>(needed) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(longer.data(), longer.size(), format, args);
    va_end(args);
    longer.pop_back();
    return longer;
}

#ifdef _WIN32
// The system's own text for a GetLastError() value, in English where the
// system has it (detail lines are English), without the trailing line break.
std::string SystemMessage(int error) {
    constexpr DWORD kFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t text[512];
    DWORD length = FormatMessageW(kFlags, nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                  text, 512, nullptr);
    if (length == 0) length = FormatMessageW(kFlags, nullptr, static_cast<DWORD>(error), 0, text, 512, nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n' || text[length - 1] == L'.')) --length;
    std::string utf8;
    if (length == 0) return Printf("system error %d", error);
    WideToUtf8(std::wstring_view(text, length), utf8);
    return utf8;
}
#else
// generic_category().message() is strerror without its static buffer.
std::string SystemMessage(int error) { return std::error_code(error, std::generic_category()).message(); }
#endif

}  // namespace qrv
