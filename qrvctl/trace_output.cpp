#include "qrvctl/trace_output.h"

#include <cstdio>

namespace qrvctl {

std::string TraceLine(std::int32_t direction, const std::uint8_t* bytes, std::int32_t length, std::uint64_t microseconds) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "[%4llu.%06llu] %s", static_cast<unsigned long long>(microseconds / 1000000),
                  static_cast<unsigned long long>(microseconds % 1000000), direction == 0 ? "->" : "<-");
    std::string line = stamp;
    for (std::int32_t i = 0; i < length; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", bytes[i]);
        line += hex;
    }
    return line;
}

void ShowTraceFrame(void*, std::int32_t direction, const std::uint8_t* bytes, std::int32_t length,
                    std::uint64_t microseconds) {
    std::fprintf(stderr, "%s\n", TraceLine(direction, bytes, length, microseconds).c_str());
}

}  // namespace qrvctl
