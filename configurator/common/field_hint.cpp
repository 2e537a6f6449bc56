#include "common/field_hint.h"

#include "common/ini_file.h"
#include "common/module_dir.h"

QString ReadFieldHint(int number) {
    const QString path = GetModuleDir() + QStringLiteral("/desc.ini");
    QString text = ReadIniString(path, QStringLiteral("desc"), QString::number(number));
    return text.replace(QStringLiteral("\\r\\n"), QStringLiteral("\r\n"));
}
