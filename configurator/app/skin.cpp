#include "app/skin.h"

#include <QApplication>
#include <QFile>
#include <QStringDecoder>

bool LoadSkin(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    // Skins made for other toolkits are binary; a style sheet is UTF-8 text.
    if (bytes.isEmpty() || bytes.contains('\0')) return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString sheet = utf8.decode(bytes);
    if (utf8.hasError()) return false;
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) return false;
    app->setStyleSheet(sheet);
    return true;
}
