#include "common/doctor_text.h"

#include <QCoreApplication>

namespace {

using qrv::client::CheckResult;
using qrv::client::CheckVerdict;

struct Template {
    const char* id;
    const char* outcome;
    const char* found;
    const char* advice;  // nullptr: nothing to do
};

// {name} is replaced by the check's fact of that name (or the port).
constexpr Template kTemplates[] = {
    {"port", "exists", QT_TRANSLATE_NOOP("DoctorText", "串口 {port} 存在（{device}）"), nullptr},
    {"port", "missing", QT_TRANSLATE_NOOP("DoctorText", "串口 {port} 不存在"),
     QT_TRANSLATE_NOOP("DoctorText", "请插上适配器后刷新串口列表；若插上几秒后串口消失，请看下面的 brltty 一项。内核日志：sudo dmesg | tail -20")},
    {"by-id", "in-use", QT_TRANSLATE_NOOP("DoctorText", "正在使用固定名称 {by-id}"), nullptr},
    {"by-id", "available", QT_TRANSLATE_NOOP("DoctorText", "固定名称：{by-id}"),
     QT_TRANSLATE_NOOP("DoctorText", "ttyUSB 编号会随插拔顺序变化，请改用固定名称 {by-id}")},
    {"by-id", "none", QT_TRANSLATE_NOOP("DoctorText", "{device} 没有 /dev/serial/by-id/ 固定名称"),
     QT_TRANSLATE_NOOP("DoctorText", "没有 USB 序列号的适配器没有固定名称，可用 udev 规则的 SYMLINK+= 指定一个")},
    {"by-id", "not-usb", QT_TRANSLATE_NOOP("DoctorText", "不是 USB 适配器，没有固定名称"), nullptr},
    {"adapter", "usb", QT_TRANSLATE_NOOP("DoctorText", "USB {usb-id} {chip}，序列号 {serial}，驱动 {driver}"), nullptr},
    {"adapter", "built-in", QT_TRANSLATE_NOOP("DoctorText", "主板自带串口（驱动 {driver}）"), nullptr},
    {"adapter", "pseudo-terminal", QT_TRANSLATE_NOOP("DoctorText", "{device} 是伪终端（模块模拟器），不是适配器"), nullptr},
    {"adapter", "no-port", QT_TRANSLATE_NOOP("DoctorText", "没有串口，无法查看适配器"), nullptr},
    {"permission", "allowed", QT_TRANSLATE_NOOP("DoctorText", "{owner}:{group}，权限 {mode}：您可以读写"), nullptr},
    {"permission", "group-not-active", QT_TRANSLATE_NOOP("DoctorText", "{owner}:{group}，权限 {mode}：您已加入 {group} 组，但本次登录尚未生效"),
     QT_TRANSLATE_NOOP("DoctorText", "请注销并重新登录（或 newgrp {group}）")},
    {"permission", "not-in-dialout", QT_TRANSLATE_NOOP("DoctorText", "{owner}:{group}，权限 {mode}：您不在 dialout 组"),
     QT_TRANSLATE_NOOP("DoctorText", "sudo usermod -aG dialout {user}\n然后注销并重新登录")},
    {"permission", "needs-rule", QT_TRANSLATE_NOOP("DoctorText", "{owner}:{group}，权限 {mode}：您和您所在的组都无权打开"),
     QT_TRANSLATE_NOOP("DoctorText", "用 udev 规则把它交给 dialout 组，再加入该组：\necho '{rule}' | sudo tee /etc/udev/rules.d/70-qrv-serial.rules\nsudo udevadm control --reload && sudo udevadm trigger\nsudo usermod -aG dialout {user}")},
    {"permission", "no-port", QT_TRANSLATE_NOOP("DoctorText", "没有串口可检查"), nullptr},
    {"held", "free", QT_TRANSLATE_NOOP("DoctorText", "没有您的程序占用它"), nullptr},
    {"held", "lock-file", QT_TRANSLATE_NOOP("DoctorText", "被 {program}（pid {pid}）通过 {lock} 锁定"),
     QT_TRANSLATE_NOOP("DoctorText", "请关闭该程序，或结束它：kill {pid}")},
    {"held", "stale-lock", QT_TRANSLATE_NOOP("DoctorText", "{lock} 记录的 pid {pid} 已不存在"),
     QT_TRANSLATE_NOOP("DoctorText", "删除残留的锁文件：sudo rm {lock}")},
    {"held", "open", QT_TRANSLATE_NOOP("DoctorText", "被 {program}（pid {pid}）打开"),
     QT_TRANSLATE_NOOP("DoctorText", "请关闭该程序，或结束它：kill {pid}")},
    {"held", "exclusive", QT_TRANSLATE_NOOP("DoctorText", "另一个程序以独占方式（TIOCEXCL）打开了它"),
     QT_TRANSLATE_NOOP("DoctorText", "查找该程序：sudo fuser -v {port}")},
    {"held", "flock", QT_TRANSLATE_NOOP("DoctorText", "另一个程序锁定了它（flock）"),
     QT_TRANSLATE_NOOP("DoctorText", "查找该程序：sudo fuser -v {port}")},
    {"held", "no-port", QT_TRANSLATE_NOOP("DoctorText", "没有串口可检查"), nullptr},
    {"modemmanager", "not-running", QT_TRANSLATE_NOOP("DoctorText", "ModemManager 未运行"), nullptr},
    {"modemmanager", "not-probed", QT_TRANSLATE_NOOP("DoctorText", "ModemManager 在运行，但不探测此串口"), nullptr},
    {"modemmanager", "ignored", QT_TRANSLATE_NOOP("DoctorText", "ModemManager 在运行，并忽略此串口"), nullptr},
    {"modemmanager", "probes", QT_TRANSLATE_NOOP("DoctorText", "ModemManager 在运行，可能向模块发送 AT 命令"),
     QT_TRANSLATE_NOOP("DoctorText", "让它忽略此适配器：\necho '{rule}' | sudo tee /etc/udev/rules.d/70-qrv-mm-ignore.rules\nsudo udevadm control --reload && sudo udevadm trigger\n本机不用调制解调器时也可：sudo systemctl disable --now ModemManager")},
    {"brltty", "not-installed", QT_TRANSLATE_NOOP("DoctorText", "未安装 brltty"), nullptr},
    {"brltty", "not-usb", QT_TRANSLATE_NOOP("DoctorText", "已安装 brltty；此串口不是 USB"), nullptr},
    {"brltty", "no-match", QT_TRANSLATE_NOOP("DoctorText", "已安装 brltty，但它不占用 USB {usb-id}"), nullptr},
    {"brltty", "claims", QT_TRANSLATE_NOOP("DoctorText", "brltty 的 udev 规则（{rules}）占用 USB {usb-id}：插上几秒后串口会被它拿走"),
     QT_TRANSLATE_NOOP("DoctorText", "没有盲文显示器时卸载它：sudo apt remove brltty\n或屏蔽其规则：sudo ln -s /dev/null /etc/udev/rules.d/85-brltty.rules\n然后重新插拔适配器")},
    {"latency-timer", "none", QT_TRANSLATE_NOOP("DoctorText", "此串口没有延迟计时器"), nullptr},
    {"latency-timer", "low", QT_TRANSLATE_NOOP("DoctorText", "延迟计时器 {ms} ms"), nullptr},
    {"latency-timer", "fixed", QT_TRANSLATE_NOOP("DoctorText", "延迟计时器已设为 1 ms（拔出前有效）"),
     QT_TRANSLATE_NOOP("DoctorText", "使其持久：echo '{rule}' | sudo tee /etc/udev/rules.d/70-qrv-latency.rules")},
    {"latency-timer", "high", QT_TRANSLATE_NOOP("DoctorText", "延迟计时器 {ms} ms：应答最多晚到 {ms} ms，有时分两段到达；9600 以上，晚于读间隔的一段会使通信失败"),
     QT_TRANSLATE_NOOP("DoctorText", "立即设为 1 ms：sudo qrvctl doctor --fix\n使其持久：echo '{rule}' | sudo tee /etc/udev/rules.d/70-qrv-latency.rules\n或在 设置 菜单中启用“容错读取”")},
    {"detection", "answers", QT_TRANSLATE_NOOP("DoctorText", "模块在 {baud} 波特应答"), nullptr},
    {"detection", "no-answer", QT_TRANSLATE_NOOP("DoctorText", "在所有波特率（{rates}）上都没有模块应答"),
     QT_TRANSLATE_NOOP("DoctorText", "请检查模块是否上电（指示灯）、TX/RX 是否交叉（适配器 TX 接模块 RX）并共地、串口是否为 8N1，以及引导开关")},
    {"detection", "cannot-open", QT_TRANSLATE_NOOP("DoctorText", "无法打开串口"), nullptr},
    {"detection", "port-unusable", QT_TRANSLATE_NOOP("DoctorText", "串口不可用（见上）"), nullptr},
    {"detection", "port-open", QT_TRANSLATE_NOOP("DoctorText", "串口已在 Qrvtune 中打开：关闭串口后再诊断，才能测量线路"), nullptr},
    {"boot-loader", "in-boot", QT_TRANSLATE_NOOP("DoctorText", "模块运行在引导程序中：上次固件升级被中断"),
     QT_TRANSLATE_NOOP("DoctorText", "用同一固件重新升级（高级 → 固件升级）")},
    {"line-quality", "clean", QT_TRANSLATE_NOOP("DoctorText", "{exchanges} 次通信：失败 {failures} 次，应答被截断 {short} 次，晚到 {late} 次；通常比协议下限多 {median-over-floor-ms} ms"), nullptr},
    {"line-quality", "split", QT_TRANSLATE_NOOP("DoctorText", "{exchanges} 次通信：失败 {failures} 次，应答被截断 {short} 次"),
     QT_TRANSLATE_NOOP("DoctorText", "应答分段到达，间隔超过读间隔。请降低适配器的延迟计时器、改用较低的波特率，或在 设置 菜单中启用“容错读取”")},
    {"line-quality", "failures", QT_TRANSLATE_NOOP("DoctorText", "{exchanges} 次通信：失败 {failures} 次"),
     QT_TRANSLATE_NOOP("DoctorText", "通信失败但原因不明：请检查连线、模块电源，以及是否有其他程序使用该串口")},
    {"line-quality", "late", QT_TRANSLATE_NOOP("DoctorText", "{exchanges} 次通信：应答通常比协议下限晚 {median-over-floor-ms} ms"),
     QT_TRANSLATE_NOOP("DoctorText", "USB 适配器的延迟计时器扣住了应答；应答被计时器切开时通信会失败。请降低计时器（sudo qrvctl doctor --fix）或启用“容错读取”")},
    {"line-quality", "no-module", QT_TRANSLATE_NOOP("DoctorText", "没有模块，无法测量线路"), nullptr},
    {"line-quality", "cannot-open", QT_TRANSLATE_NOOP("DoctorText", "无法打开串口"), nullptr},
};

QString Fill(const char* text, const CheckResult& check, const QString& port) {
    QString out = QCoreApplication::translate("DoctorText", text);
    out.replace(QStringLiteral("{port}"), port);
    for (const auto& [key, value] : check.facts)
        out.replace(QLatin1Char('{') + QString::fromStdString(key) + QLatin1Char('}'), QString::fromStdString(value));
    return out;
}

QString VerdictText(CheckVerdict verdict) {
    switch (verdict) {
        case CheckVerdict::Pass:
            return QCoreApplication::translate("DoctorText", "通过");
        case CheckVerdict::Warn:
            return QCoreApplication::translate("DoctorText", "警告");
        case CheckVerdict::Fail:
            return QCoreApplication::translate("DoctorText", "失败");
        case CheckVerdict::Skip:
            break;
    }
    return QCoreApplication::translate("DoctorText", "跳过");
}

}  // namespace

DoctorCheckText DoctorText(const CheckResult& check, const QString& port) {
    DoctorCheckText text{VerdictText(check.verdict), {}, {}};
    for (const Template& t : kTemplates) {
        if (check.id != t.id || check.outcome != t.outcome) continue;
        text.found = Fill(t.found, check, port);
        if (t.advice != nullptr) text.advice = Fill(t.advice, check, port);
        return text;
    }
    // A check this table does not know yet: its own words.
    text.found = QString::fromStdString(check.found);
    text.advice = QString::fromStdString(check.advice);
    return text;
}

QString DoctorReportText(const QString& port, const std::vector<CheckResult>& checks) {
    QString report = QCoreApplication::translate("DoctorText", "串口 %1").arg(port) + QLatin1Char('\n');
    for (const CheckResult& check : checks) {
        const DoctorCheckText text = DoctorText(check, port);
        report += QStringLiteral("[%1] %2  %3\n").arg(text.verdict, QString::fromStdString(check.id), text.found);
        for (const QString& line : text.advice.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            report += QStringLiteral("      -> ") + line + QLatin1Char('\n');
    }
    return report;
}
