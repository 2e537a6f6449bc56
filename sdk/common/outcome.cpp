#include "common/outcome.h"

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

// generic_category().message() is strerror without its static buffer.
std::string SystemMessage(int error) { return std::error_code(error, std::generic_category()).message(); }

}  // namespace qrv
