#include "common/sdk_failure.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include <array>

#include "qrvlink/qrvlink.h"

namespace qrvtune {
namespace {

QString Tr(const char* text) { return QCoreApplication::translate("SdkFailure", text); }

// One line per reason that the user can act on; %1 is the port's path.
struct Advice {
    int reason;
    const char* text;
};
const Advice kAdvice[] = {
    {QRV_FAIL_PORT_NOT_OPEN, QT_TRANSLATE_NOOP("SdkFailure", "串口未打开。请先选择串口，再按“打开串口”。")},
    {QRV_FAIL_PORT_NOT_FOUND,
     QT_TRANSLATE_NOOP("SdkFailure",
                       "找不到串口 %1。请检查 USB 转串口线是否插好，然后按“重新扫描”，从列表中选择串口后再打开。")},
    {QRV_FAIL_PORT_PERMISSION,
     QT_TRANSLATE_NOOP("SdkFailure",
                       "没有权限打开串口 %1。请把当前用户加入 dialout 组（sudo usermod -aG dialout 用户名），"
                       "重新登录后再试。")},
    {QRV_FAIL_PORT_NOT_SERIAL,
     QT_TRANSLATE_NOOP("SdkFailure", "%1 不是串口设备。请按“重新扫描”，从列表中选择串口（如 /dev/ttyUSB0）。")},
    {QRV_FAIL_PORT_SETTINGS,
     QT_TRANSLATE_NOOP("SdkFailure",
                       "串口 %1 不接受所选的串口参数（波特率、数据位、校验位或停止位）。请换一组参数再打开。")},
    {QRV_FAIL_PORT_LOST,
     QT_TRANSLATE_NOOP("SdkFailure",
                       "串口已断开：USB 转串口线可能被拔出。串口已关闭，请插好后按“重新扫描”，再按“打开串口”。")},
    {QRV_FAIL_WRITE,
     QT_TRANSLATE_NOOP("SdkFailure", "无法在规定时间内向串口 %1 发送数据。请检查串口线和流控设置。")},
    {QRV_FAIL_BAD_ANSWER,
     QT_TRANSLATE_NOOP("SdkFailure",
                       "模块的应答不正确：可能是串口参数（波特率、校验位）与模块不一致，或线路受到干扰。"
                       "请检查串口参数和接线后再试。")},
    {QRV_FAIL_NOT_LOADED, QT_TRANSLATE_NOOP("SdkFailure", "请先读取设备信息，再进行此操作。")},
};

// The baud rates modules are commonly set to, the likeliest first.
constexpr std::array<int, 5> kLikelyBauds = {9600, 115200, 19200, 38400, 57600};

QString Captured(const QString& text, const char* pattern, int group = 1) {
    const QRegularExpression expression(QString::fromLatin1(pattern));
    return expression.match(text).captured(group);
}

// The detail names the device as its first absolute path ("open /dev/ttyUSB0: ...").
QString PortOf(const QString& detail) {
    const QString path = Captured(detail, R"((?:^|\s)(/[^\s:]+))");
    return path.isEmpty() ? QCoreApplication::translate("SdkFailure", "所选串口") : path;
}

QString BusyAdvice(const QString& detail) {
    const QString pid = Captured(detail, R"(held by process (\d+))");
    const QString program = Captured(detail, R"(held by process \d+ \(([^)]*)\))");
    if (pid.isEmpty())
        return QCoreApplication::translate("SdkFailure", "串口 %1 正被另一个程序占用。请先关闭使用该串口的程序，再按“打开串口”。").arg(PortOf(detail));
    const QString holder = program.isEmpty() ? QCoreApplication::translate("SdkFailure", "进程 %1").arg(pid) : QCoreApplication::translate("SdkFailure", "%1（进程 %2）").arg(program, pid);
    return QCoreApplication::translate("SdkFailure", "串口 %1 正被 %2 占用。请先关闭该程序，再按“打开串口”。").arg(PortOf(detail), holder);
}

QString NoAnswerAdvice(const QString& detail) {
    // Suggest the rates other than the one that stayed silent.
    const int tried = Captured(detail, R"(at (\d+) baud)").toInt();
    QStringList others;
    for (const int baud : kLikelyBauds)
        if (baud != tried) others << QString::number(baud);
    return QCoreApplication::translate("SdkFailure", "模块没有应答。请检查串口波特率是否与模块一致（可依次试 %1），接线是否正确，模块是否已上电。")
        .arg(others.join(QCoreApplication::translate("SdkFailure", "、")));
}

QString RefusedAdvice(const QString& detail) {
    const QString status = Captured(detail, R"(status (0x[0-9A-Fa-f]+))");
    return QCoreApplication::translate("SdkFailure", "模块拒绝了这次操作（状态 %1）。请重新读取设备信息，确认参数后再试。")
        .arg(status.isEmpty() ? QCoreApplication::translate("SdkFailure", "未知") : status);
}

QString ReasonAdvice(const SdkFailure& failure) {
    switch (failure.reason) {
        case QRV_FAIL_PORT_BUSY: return BusyAdvice(failure.detail);
        case QRV_FAIL_NO_ANSWER: return NoAnswerAdvice(failure.detail);
        case QRV_FAIL_REFUSED: return RefusedAdvice(failure.detail);
        default: break;
    }
    for (const Advice& advice : kAdvice) {
        if (advice.reason != failure.reason) continue;
        const QString text = Tr(advice.text);
        return text.contains(QLatin1String("%1")) ? text.arg(PortOf(failure.detail)) : text;
    }
    return QString();  // nothing the user can do about it (a bad argument, an image the SDK explained)
}

}  // namespace

SdkFailure LastSdkFailure() {
    char detail[512] = {};
    const int reason = Q_GetLastFailure(detail, static_cast<int32_t>(sizeof detail));
    return {reason, QString::fromUtf8(detail)};
}

QString FailureAdvice(const SdkFailure& failure) {
    const QString advice = ReasonAdvice(failure);
    if (advice.isEmpty() || failure.detail.isEmpty()) return advice;
    return advice + QLatin1Char('\n') + QCoreApplication::translate("SdkFailure", "详细信息：%1").arg(failure.detail);
}

}  // namespace qrvtune
