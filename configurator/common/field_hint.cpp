#include "common/field_hint.h"

#include "common/ini_file.h"
#include "common/interface_language.h"
#include "common/module_dir.h"

QString ReadFieldHint(int number) {
    const QString path = GetModuleDir() + QStringLiteral("/desc.ini");
    const QString key = QString::number(number);
    // The English hints have their own section; a hint reworded only in
    // Chinese is still better than none.
    QString section = QStringLiteral("desc");
    if (CurrentUiLanguage() == UiLanguage::English && IniHasKey(path, QStringLiteral("desc_en"), key))
        section = QStringLiteral("desc_en");
    QString text = ReadIniString(path, section, key);
    return text.replace(QStringLiteral("\\r\\n"), QStringLiteral("\r\n"));
}
