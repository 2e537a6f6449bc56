#include "app/serial_settings.h"

#include <array>

namespace {
constexpr std::array kBauds{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800};
constexpr int kDataBitsCount = 4;
constexpr int kParityCount = 5;
constexpr int kStopBitsCount = 3;

bool Within(int position, int count) { return position >= 0 && position < count; }
}  // namespace

int BaudForPosition(int position) {
    if (!Within(position, static_cast<int>(kBauds.size()))) position = kDefaultBaudPosition;
    return kBauds[static_cast<std::size_t>(position)];
}

int DataBitsForPosition(int position) {
    return 5 + (Within(position, kDataBitsCount) ? position : kDefaultDataBitsPosition);
}

int ParityForPosition(int position) {
    return Within(position, kParityCount) ? position : kDefaultParityPosition;
}

int StopBitsForPosition(int position) {
    return Within(position, kStopBitsCount) ? position : kDefaultStopBitsPosition;
}
