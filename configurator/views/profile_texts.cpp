#include "views/profile_texts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "common/record_fields.h"

namespace {

using qrv::client::FieldId;
using qrv::client::FieldKind;
using qrv::client::FieldSpec;
using qrv::client::ProfileFault;

// The named values whose box shows a word of its own; the others (rates,
// bits) read the same in the file and in the form. The words are the
// basic page's list entries, translated where those are.
struct FormWord {
    FieldId field;
    const char* name;  // as the field table and the file name it
    const char* text;
};
constexpr FormWord kFormWords[] = {
    {FieldId::WorkMode, "host", QT_TRANSLATE_NOOP("CViewBaseInfo", "主机模式")},
    {FieldId::WorkMode, "terminal", QT_TRANSLATE_NOOP("CViewBaseInfo", "终端模式")},
    {FieldId::WorkMode, "host-relay", QT_TRANSLATE_NOOP("CViewBaseInfo", "主机+中继模式")},
    {FieldId::WorkMode, "terminal-relay", QT_TRANSLATE_NOOP("CViewBaseInfo", "终端+中继模式")},
    {FieldId::WorkMode, "acquisition", QT_TRANSLATE_NOOP("CViewBaseInfo", "数据采集模式")},
    {FieldId::WorkMode, "acquisition-relay", QT_TRANSLATE_NOOP("CViewBaseInfo", "数据采集+中继模式")},
    {FieldId::WorkMode, "linked-io", QT_TRANSLATE_NOOP("CViewBaseInfo", "联动IO模式")},
    {FieldId::UartParity, "none", QT_TRANSLATE_NOOP("CViewBaseInfo", "无")},
    {FieldId::UartParity, "odd", QT_TRANSLATE_NOOP("CViewBaseInfo", "奇校验")},
    {FieldId::UartParity, "even", QT_TRANSLATE_NOOP("CViewBaseInfo", "偶校验")},
    {FieldId::UartParity, "space", QT_TRANSLATE_NOOP("CViewBaseInfo", "强制为0")},
    {FieldId::UartParity, "mark", QT_TRANSLATE_NOOP("CViewBaseInfo", "强制为1")},
};

// Why a file could not be read, from what the system says of it now.
QString UnreadableText(const QString& path) {
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!file.exists()) return QCoreApplication::translate("ProfileExchange", "文件 %1 不存在。").arg(shown);
    if (!file.isFile()) return QCoreApplication::translate("ProfileExchange", "%1 不是普通文件。").arg(shown);
    if (!file.isReadable()) return QCoreApplication::translate("ProfileExchange", "没有读取 %1 的权限。").arg(shown);
    return QCoreApplication::translate("ProfileExchange", "无法读取文件 %1（文件过大或读取出错）。").arg(shown);
}

}  // namespace

QString UnwritableText(const QString& path) {
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (file.exists() && !file.isFile())
        return QCoreApplication::translate("ProfileExchange", "%1 不是普通文件。").arg(shown);
    if (!QFileInfo(file.absolutePath()).isDir())
        return QCoreApplication::translate("ProfileExchange", "文件夹 %1 不存在。")
            .arg(QDir::toNativeSeparators(file.absolutePath()));
    return QCoreApplication::translate("ProfileExchange", "无法写入文件 %1（没有写入权限或磁盘已满）。").arg(shown);
}

namespace {

QString BadValueText(const FieldSpec& field, const QString& value) {
    const QString label = FormLabelOf(field);
    const std::string name(field.name);
    const FieldRule rule = FieldRuleOf(name.c_str());
    // A number field says its range, as the form's own check does.
    if (field.kind == FieldKind::Number) return RangeMessage(label, rule);
    if (field.kind == FieldKind::Text)
        return QCoreApplication::translate("ProfileExchange",
                                           "%1：“%2”过长（最多 %3 个字节，一个汉字占 2 个字节）或含有控制字符。")
            .arg(label, value)
            .arg(rule.max);
    return QCoreApplication::translate("ProfileExchange", "%1：“%2”不是可选的值。").arg(label, value);
}

}  // namespace

QString FormLabelOf(const FieldSpec& field) {
    const char* label = nullptr;
    switch (field.id) {
        case FieldId::Name:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "设备名称");
            break;
        case FieldId::WorkMode:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "工作类型");
            break;
        case FieldId::Channel:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "工作频率");
            break;
        case FieldId::NetId:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "网络号");
            break;
        case FieldId::LocalAddress:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "本机地址");
            break;
        case FieldId::DestAddress:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "目标地址");
            break;
        case FieldId::AirRate:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "速率");
            break;
        case FieldId::TxPower:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "发送功率");
            break;
        case FieldId::RetryCount:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "发送重试次数");
            break;
        case FieldId::RetryInterval:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "重试间隔时间");
            break;
        case FieldId::UartBaud:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "波特率");
            break;
        case FieldId::UartDataBits:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "数据位");
            break;
        case FieldId::UartStopBits:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "停止位");
            break;
        case FieldId::UartParity:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "校验位");
            break;
        case FieldId::FrameGap:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "分帧间隔");
            break;
        case FieldId::FrameLength:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "分帧长度");
            break;
        case FieldId::Password:
            label = QT_TRANSLATE_NOOP("ProfileExchange", "密码");
            break;
    }
    if (label == nullptr) return QString::fromUtf8(field.name.data(), static_cast<qsizetype>(field.name.size()));
    return QCoreApplication::translate("ProfileExchange", label);
}

QString FormValueOf(const FieldSpec& field, const qrv::client::FieldValue& value) {
    if (const auto* name = std::get_if<std::string>(&value))
        for (const FormWord& word : kFormWords)
            if (word.field == field.id && *name == word.name)
                return QCoreApplication::translate("CViewBaseInfo", word.text);
    return QString::fromStdString(qrv::client::FormatField(field, value));
}

QString ImportedDifferencesText(const std::vector<qrv::client::FieldDifference>& differences) {
    if (differences.empty()) return QCoreApplication::translate("ProfileExchange", "导入的配置与设备当前的配置相同。");
    QString text = QCoreApplication::translate("ProfileExchange", "导入的配置与设备有 %1 项不同（设备 → 配置文件）：")
                       .arg(differences.size());
    for (const qrv::client::FieldDifference& d : differences)
        text += QStringLiteral("\n%1: %2 → %3")
                    .arg(FormLabelOf(*d.field), FormValueOf(*d.field, d.found), FormValueOf(*d.field, d.wanted));
    return text + QLatin1Char('\n') +
           QCoreApplication::translate("ProfileExchange", "按“修改配置”并输入密码，才会写入设备。");
}

QString ProfileFaultText(const ProfileFault& fault, const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    switch (fault.kind) {
        case ProfileFault::Kind::None:
        case ProfileFault::Kind::File:
            return UnreadableText(path);
        case ProfileFault::Kind::Syntax:
            return QCoreApplication::translate("ProfileExchange", "%1 不是有效的 JSON 文件（第 %2 行有误）。")
                .arg(shown)
                .arg(fault.line);
        case ProfileFault::Kind::NotProfile:
            return QCoreApplication::translate("ProfileExchange", "%1 不是配置文件。").arg(shown);
        case ProfileFault::Kind::NewerVersion:
            return QCoreApplication::translate("ProfileExchange", "配置文件的版本 %1 比本程序新（本程序读取版本 %2）。")
                .arg(fault.version)
                .arg(qrv::client::kProfileVersion);
        case ProfileFault::Kind::NoFields:
            return QCoreApplication::translate("ProfileExchange", "配置文件中没有任何配置项。");
        case ProfileFault::Kind::UnknownField:
            return QCoreApplication::translate("ProfileExchange", "配置文件中的“%1”不是设备的配置项。")
                .arg(QString::fromStdString(fault.name));
        case ProfileFault::Kind::BadValue:
            if (fault.field != nullptr) return BadValueText(*fault.field, QString::fromStdString(fault.value));
            break;
    }
    return QCoreApplication::translate("ProfileExchange", "%1 不是配置文件。").arg(shown);
}
