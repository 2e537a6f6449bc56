#include "app/serial_settings.h"

#include <algorithm>
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

int PositionOfBaud(int baud) {
    const auto* found = std::find(kBauds.begin(), kBauds.end(), baud);
    return found != kBauds.end() ? static_cast<int>(found - kBauds.begin()) : -1;
}

int PositionOfDataBits(int dataBits) { return Within(dataBits - 5, kDataBitsCount) ? dataBits - 5 : -1; }

int PositionOfParity(int parity) { return Within(parity, kParityCount) ? parity : -1; }

int PositionOfStopBits(int stopBits) { return Within(stopBits, kStopBitsCount) ? stopBits : -1; }
