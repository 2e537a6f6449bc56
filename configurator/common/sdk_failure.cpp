#include "common/sdk_failure.h"

#include <QCoreApplication>
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

QString PortOf(const SdkFailure& failure) {
    return failure.path.isEmpty() ? QCoreApplication::translate("SdkFailure", "所选串口") : failure.path;
}

QString BusyAdvice(const SdkFailure& failure) {
    if (failure.holderPid == 0)
        return QCoreApplication::translate("SdkFailure", "串口 %1 正被另一个程序占用。请先关闭使用该串口的程序，再按“打开串口”。").arg(PortOf(failure));
    const QString pid = QString::number(failure.holderPid);
    const QString holder = failure.holderProgram.isEmpty() ? QCoreApplication::translate("SdkFailure", "进程 %1").arg(pid) : QCoreApplication::translate("SdkFailure", "%1（进程 %2）").arg(failure.holderProgram, pid);
    return QCoreApplication::translate("SdkFailure", "串口 %1 正被 %2 占用。请先关闭该程序，再按“打开串口”。").arg(PortOf(failure), holder);
}

QString NoAnswerAdvice(const SdkFailure& failure) {
    // Suggest the rates other than the one that stayed silent.
    QStringList others;
    for (const int baud : kLikelyBauds)
        if (static_cast<quint32>(baud) != failure.baudRate) others << QString::number(baud);
    return QCoreApplication::translate("SdkFailure", "模块没有应答。请检查串口波特率是否与模块一致（可依次试 %1），接线是否正确，模块是否已上电。")
        .arg(others.join(QCoreApplication::translate("SdkFailure", "、")));
}

QString RefusedAdvice(const SdkFailure& failure) {
    const QString status = failure.status < 0 ? QString() : QString::asprintf("0x%02X", failure.status);
    return QCoreApplication::translate("SdkFailure", "模块拒绝了这次操作（状态 %1）。请重新读取设备信息，确认参数后再试。")
        .arg(status.isEmpty() ? QCoreApplication::translate("SdkFailure", "未知") : status);
}

QString ReasonAdvice(const SdkFailure& failure) {
    switch (failure.reason) {
        case QRV_FAIL_PORT_BUSY: return BusyAdvice(failure);
        case QRV_FAIL_NO_ANSWER: return NoAnswerAdvice(failure);
        case QRV_FAIL_REFUSED: return RefusedAdvice(failure);
        default: break;
    }
    for (const Advice& advice : kAdvice) {
        if (advice.reason != failure.reason) continue;
        const QString text = Tr(advice.text);
        return text.contains(QLatin1String("%1")) ? text.arg(PortOf(failure)) : text;
    }
    return QString();  // nothing the user can do about it (a bad argument, an image the SDK explained)
}

}  // namespace

SdkFailure LastSdkFailure() {
    char detail[512] = {};
    SdkFailure failure;
    failure.reason = Q_GetLastFailure(detail, static_cast<int32_t>(sizeof detail));
    failure.detail = QString::fromUtf8(detail);
    QRV_FAILURE_INFO info{};
    info.size = sizeof info;
    if (Q_GetLastFailureInfo(&info) < 0) return failure;
    failure.path = QString::fromUtf8(info.path);
    failure.holderPid = info.holderPid;
    failure.holderProgram = QString::fromUtf8(info.holderProgram);
    failure.baudRate = info.baudRate;
    failure.status = info.status;
    return failure;
}

QString FailureAdvice(const SdkFailure& failure) {
    const QString advice = ReasonAdvice(failure);
    if (advice.isEmpty() || failure.detail.isEmpty()) return advice;
    return advice + QLatin1Char('\n') + QCoreApplication::translate("SdkFailure", "详细信息：%1").arg(failure.detail);
}

}  // namespace qrvtune
