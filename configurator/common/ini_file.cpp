#include "common/ini_file.h"

#include <QSaveFile>
#include <map>
#include <utility>

// Our own code decides the encoding (common/ini_encoding); SimpleIni only
// splits sections, keys and values, in UTF-8.
#define SI_NO_CONVERSION
// The packaged header keeps its template bodies behind this switch.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "common/ini_edit.h"
#include "common/ini_encoding.h"

namespace {

// Names compare without letter case, as the Windows profile calls do.
using Ini = CSimpleIniA;

bool Parse(Ini& ini, const QString& text) {
    ini.SetUnicode(true);
    return ini.LoadData(text.toStdString()) >= 0;
}

// A file that cannot be read (or is no settings file) reads as empty.
bool Load(Ini& ini, const QString& path) {
    const std::optional<IniText> file = ReadIniText(path);
    return Parse(ini, file ? file->text : QString());
}

// Every entry as the parser reads it, names folded to lower case as it
// compares them.
using Entries = std::map<std::pair<std::string, std::string>, std::string>;

std::string Folded(const char* name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

Entries AllEntries(const Ini& ini) {
    Entries entries;
    Ini::TNamesDepend sections;
    ini.GetAllSections(sections);
    for (const auto& section : sections) {
        Ini::TNamesDepend keys;
        ini.GetAllKeys(section.pItem, keys);
        // A section without keys still counts, under an empty key.
        entries[{Folded(section.pItem), std::string()}] = std::string();
        for (const auto& key : keys)
            entries[{Folded(section.pItem), Folded(key.pItem)}] = ini.GetValue(section.pItem, key.pItem, "");
    }
    return entries;
}

// The parser must read the edited text as the old one with just this key
// changed (and its section added when it was missing): nothing else gone,
// nothing else different.
bool ReadsAsOneKeyChanged(const QString& before, const QString& after, const QString& section, const QString& key,
                          const QString& value) {
    Ini oldIni;
    Ini newIni;
    if (!Parse(oldIni, before) || !Parse(newIni, after)) return false;
    Entries expected = AllEntries(oldIni);
    const std::string sectionName = Folded(section.toUtf8().constData());
    expected[{sectionName, std::string()}] = std::string();
    expected[{sectionName, Folded(key.toUtf8().constData())}] = value.trimmed().toStdString();
    return AllEntries(newIni) == expected;
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
    // A file that cannot be read whole and written back byte for byte is
    // left alone: rewriting it would lose what could not be read.
    std::optional<IniText> file = ReadIniText(path);
    if (!file || !file->faithful) return false;
    const std::optional<QString> edited = SetIniValueInText(file->text, section, key, value);
    if (!edited || !ReadsAsOneKeyChanged(file->text, *edited, section, key, value)) return false;
    file->text = *edited;
    const std::optional<QByteArray> bytes = EncodeIniText(*file);
    if (!bytes) return false;
    // Written beside the file and renamed over it (keeping its permissions
    // and following a link to its target): a crash leaves the old file whole.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(*bytes);
    return out.commit();
}
