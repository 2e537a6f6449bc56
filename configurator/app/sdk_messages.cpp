#include "app/sdk_messages.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#include "qrvlink/qrvlink.h"
#include "toolkit/toolkit.h"

namespace {

// The messages the SDK shows, as it words them (in Chinese); %n stands for
// what it fills in: a path, the system's error text, block counts.
const char* const kSdkMessages[] = {
    QT_TRANSLATE_NOOP("SdkMessages", "固件版本不对"),
    QT_TRANSLATE_NOOP("SdkMessages", "无法打开固件文件“%1”：%2"),
    QT_TRANSLATE_NOOP("SdkMessages", "无法读取固件文件“%1”：%2"),
    QT_TRANSLATE_NOOP("SdkMessages", "固件文件“%1”无效：数据块偏移超出 0 到 65535 的范围"),
    QT_TRANSLATE_NOOP("SdkMessages", "固件文件“%1”不完整：文件头需要 %2 个数据块，文件中只有 %3 个"),
};

// The message as a pattern whose groups catch the filled-in parts.
QRegularExpression PatternOf(const QString& wording) {
    QString pattern = QRegularExpression::escape(wording);
    static const QRegularExpression placeholder(QStringLiteral("\\\\%\\d"));
    pattern.replace(placeholder, QStringLiteral("(.*)"));
    return QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'));
}

void ShowSdkMessage(int kind, const char* text, void* /*user*/) {
    using qrvtune::MessageIcon;
    MessageIcon icon = MessageIcon::None;
    if (kind == Q_MSG_INFORMATION) icon = MessageIcon::Information;
    if (kind == Q_MSG_WARNING) icon = MessageIcon::Warning;
    if (kind == Q_MSG_ERROR) icon = MessageIcon::Error;
    qrvtune::ShowMessage(SdkMessageText(QString::fromUtf8(text)), icon);
}

}  // namespace

QString SdkMessageText(const QString& text) {
    for (const char* wording : kSdkMessages) {
        const QRegularExpressionMatch match = PatternOf(QString::fromUtf8(wording)).match(text);
        if (!match.hasMatch()) continue;
        QString translated = QCoreApplication::translate("SdkMessages", wording);
        // All parts at once: a path may itself hold "%2".
        const QStringList parts = match.capturedTexts().mid(1);
        switch (parts.size()) {
            case 0: return translated;
            case 1: return translated.arg(parts[0]);
            case 2: return translated.arg(parts[0], parts[1]);
            default: return translated.arg(parts[0], parts[1], parts[2]);
        }
    }
    return text;  // a message this program does not know stays as the SDK words it
}

void InstallSdkMessageHandler() { Q_SetMessageHandler(&ShowSdkMessage, nullptr); }
