#pragma once
// The second texts failure boxes carry for the reasons the GUI tests meet,
// literal, so that a changed wording or a lost detail shows.
#include <QString>

#include <string>

inline QString PortNotOpenAdvice() {
    return QStringLiteral("串口未打开。请先选择串口，再按“打开串口”。\n详细信息：the port is not open");
}

inline QString RefusedWriteAdvice() {
    return QStringLiteral(
        "模块拒绝了这次操作（状态 0x01）。请重新读取设备信息，确认参数后再试。\n"
        "详细信息：write-property refused by the module: status 0x01");
}

// `command` stayed silent on `port` at 9600 baud for `timeoutMs`.
inline QString NoAnswerAdvice(const char* command, const std::string& port, int timeoutMs) {
    return QStringLiteral(
               "模块没有应答。请检查串口波特率是否与模块一致（可依次试 115200、19200、38400、57600），"
               "接线是否正确，模块是否已上电。\n详细信息：%1: no answer on %2 at 9600 baud within %3 ms")
        .arg(QLatin1String(command), QString::fromStdString(port))
        .arg(timeoutMs);
}
