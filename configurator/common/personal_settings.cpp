#include "common/personal_settings.h"

#include <QDir>
#include <QFileInfo>

#include "common/ini_file.h"
#include "common/user_settings.h"

namespace {

const QString kPortSection = QStringLiteral("LastPort");
const QString kInterfaceSection = QStringLiteral("Interface");
const QString kLanguageKey = QStringLiteral("Language");

bool Write(const QString& section, const QString& key, const QString& value) {
    const QString path = UserSettingsPath();
    return QDir().mkpath(QFileInfo(path).path()) && WriteIniString(path, section, key, value);
}

QString Read(const QString& section, const QString& key) { return ReadIniString(UserSettingsPath(), section, key); }

}  // namespace

std::optional<PortChoice> ReadPortChoice() {
    const QString path = UserSettingsPath();
    if (!IniHasKey(path, kPortSection, QStringLiteral("Port"))) return std::nullopt;
    const auto number = [&](const char* key) { return ReadIniInt(path, kPortSection, QLatin1String(key), -1); };
    return PortChoice{Read(kPortSection, QStringLiteral("Port")), number("Baud"),     number("DataBits"),
                      number("Parity"),                            number("StopBits"), number("Timeout")};
}

bool RememberPortChoice(const PortChoice& choice) {
    const std::pair<const char*, QString> keys[] = {
        {"Port", choice.port},
        {"Baud", QString::number(choice.baud)},
        {"DataBits", QString::number(choice.dataBits)},
        {"Parity", QString::number(choice.parity)},
        {"StopBits", QString::number(choice.stopBits)},
        {"Timeout", QString::number(choice.timeoutMs)},
    };
    bool written = true;
    for (const auto& [key, value] : keys) written = Write(kPortSection, QLatin1String(key), value) && written;
    return written;
}

QString ReadLanguageChoice() { return Read(kInterfaceSection, kLanguageKey); }

bool RememberLanguageChoice(const QString& language) { return Write(kInterfaceSection, kLanguageKey, language); }

namespace {
const QString kTolerantReadsKey = QStringLiteral("TolerantReads");
}  // namespace

bool ReadTolerantReadsChoice() { return Read(kInterfaceSection, kTolerantReadsKey) == QStringLiteral("1"); }

bool RememberTolerantReadsChoice(bool on) {
    return Write(kInterfaceSection, kTolerantReadsKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}
