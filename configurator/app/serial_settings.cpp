#include "app/serial_settings.h"

#include "qrvlink/qrvlink.h"

namespace {
// The port's rates are the ones a module's line may be set to: the field
// table's uart-baud values, in the order of its codes.
int BaudAt(int position) {
    QrvFieldInfo info{};
    info.Size = sizeof info;
    if (Q_FieldInfo(Q_FieldFind("uart-baud"), &info) != 1 || position < 0 || position >= info.ChoiceCount) return 0;
    return static_cast<int>(info.Choices[position].Number);
}
constexpr int kDataBitsCount = 4;
constexpr int kParityCount = 5;
constexpr int kStopBitsCount = 3;

bool Within(int position, int count) { return position >= 0 && position < count; }
}  // namespace

int BaudForPosition(int position) {
    const int baud = BaudAt(position);
    return baud != 0 ? baud : BaudAt(kDefaultBaudPosition);
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
    for (int position = 0; BaudAt(position) != 0; ++position)
        if (BaudAt(position) == baud) return position;
    return -1;
}

int PositionOfDataBits(int dataBits) { return Within(dataBits - 5, kDataBitsCount) ? dataBits - 5 : -1; }

int PositionOfParity(int parity) { return Within(parity, kParityCount) ? parity : -1; }

int PositionOfStopBits(int stopBits) { return Within(stopBits, kStopBitsCount) ? stopBits : -1; }
