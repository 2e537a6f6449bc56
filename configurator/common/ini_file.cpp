#include "common/ini_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

// Our own code decides the encoding (UTF-8, or GB18030 turned into UTF-8);
// SimpleIni only splits sections, keys and values.
#define SI_NO_CONVERSION
// The packaged header keeps its template bodies behind this switch.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "common/text_codec.h"

namespace {

// Names compare without letter case, as the Windows profile calls do.
using Ini = CSimpleIniA;

// Files copied from older Windows installations are GB18030 (or its GBK
// subset) rather than UTF-8; anything that is not valid UTF-8 is read so.
std::string FileAsUtf8(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return bytes.toStdString();
    return ConvertCodePage(bytes.toStdString(), "GB18030", "UTF-8");
}

bool Load(Ini& ini, const QString& path) {
    ini.SetUnicode(true);
    const std::string text = FileAsUtf8(path);
    return ini.LoadData(text) >= 0;
}

// The profile calls drop one pair of quotes around a value.
QString Unquote(QString value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

QString CutToProfileLimit(QString value) {
    if (value.size() <= kIniValueMaxChars) return value;
    value.truncate(kIniValueMaxChars);
    // Never leave half of a surrogate pair at the end.
    if (value.back().isHighSurrogate()) value.chop(1);
    return value;
}

const char* FindValue(const Ini& ini, const QString& section, const QString& key) {
    return ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
}

}  // namespace

QString ReadIniString(const QString& path, const QString& section, const QString& key) {
    Ini ini;
    if (!Load(ini, path)) return QString();
    const char* value = FindValue(ini, section, key);
    if (value == nullptr) return QString();
    return CutToProfileLimit(Unquote(QString::fromUtf8(value).trimmed()));
}

bool IniHasKey(const QString& path, const QString& section, const QString& key) {
    Ini ini;
    return Load(ini, path) && FindValue(ini, section, key) != nullptr;
}

int ReadIniInt(const QString& path, const QString& section, const QString& key, int fallback) {
    Ini ini;
    if (!Load(ini, path)) return fallback;
    const char* value = FindValue(ini, section, key);
    if (value == nullptr) return fallback;
    const QString text = Unquote(QString::fromUtf8(value).trimmed());
    qsizetype at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == QLatin1Char('-') || text[at] == QLatin1Char('+')))
        negative = text[at++] == QLatin1Char('-');
    long long number = 0;
    for (; at < text.size() && text[at].isDigit() && text[at].unicode() < 0x80; ++at) {
        number = number * 10 + (text[at].unicode() - '0');
        if (number > 0x7FFFFFFF) break;  // saturate instead of overflowing
    }
    if (number > 0x7FFFFFFF) number = 0x7FFFFFFF;
    return static_cast<int>(negative ? -number : number);
}

bool WriteIniString(const QString& path, const QString& section, const QString& key, const QString& value) {
    Ini ini;
    Load(ini, path);  // a missing file is simply created
    if (ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(), value.toUtf8().constData()) < 0)
        return false;
    std::string text;
    if (ini.Save(text) < 0) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(text.data(), static_cast<qint64>(text.size()));
    return file.commit();
}
