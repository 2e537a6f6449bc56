#pragma once
// Positions of the serial panel's lists and the values Q_OpenCom takes for
// them. A position outside a list (nothing selected) gives the list's
// default: 115200 baud, 8 data bits, no parity, one stop bit.

int BaudForPosition(int position);
int DataBitsForPosition(int position);
// Parity codes are the positions: 0 none, 1 odd, 2 even, 3 and 4 the forced
// bit ("强制为0", "强制为1"), the same codes the module's own setting uses.
int ParityForPosition(int position);
// 0 one stop bit, 1 one and a half, 2 two.
int StopBitsForPosition(int position);

// The list position of a value Q_OpenCom takes; -1 when no entry has it.
int PositionOfBaud(int baud);
int PositionOfDataBits(int dataBits);
int PositionOfParity(int parity);
int PositionOfStopBits(int stopBits);

// The defaults selected when the window opens.
inline constexpr int kDefaultBaudPosition = 7;      // 115200
inline constexpr int kDefaultDataBitsPosition = 3;  // 8
inline constexpr int kDefaultParityPosition = 0;    // 无
inline constexpr int kDefaultStopBitsPosition = 0;  // 1

// The read time-out the panel accepts, in milliseconds. 0 would mean "no
// total time-out" to the serial layer: a silent module would then hold the
// window for ever.
inline constexpr int kMinReadTimeoutMs = 1;
inline constexpr int kMaxReadTimeoutMs = 60000;
