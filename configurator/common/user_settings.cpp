#include "common/user_settings.h"

#include <QDir>
#include <QFileInfo>

#include "common/ini_file.h"
#include "common/module_dir.h"

namespace {
const QString kSettingsFile = QStringLiteral("Meshcfg.ini");
}  // namespace

QString ProgramSettingsPath() { return GetModuleDir() + QLatin1Char('/') + kSettingsFile; }

QString UserSettingsPath() {
#ifdef Q_OS_WIN
    // Where Windows programs keep a user's own settings, roaming with them.
    QString appData = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (appData.isEmpty() || QDir::isRelativePath(appData)) appData = QDir::homePath() + QStringLiteral("/AppData/Roaming");
    return appData + QStringLiteral("/Qrvtune/") + kSettingsFile;
#else
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // XDG base directories must be absolute; a relative one is ignored.
    if (base.isEmpty() || QDir::isRelativePath(base)) base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/qrvtune/") + kSettingsFile;
#endif
}

QString ReadUserSetting(const QString& section, const QString& key) {
    const QString user = UserSettingsPath();
    return ReadIniString(IniHasKey(user, section, key) ? user : ProgramSettingsPath(), section, key);
}

bool WriteUserSetting(const QString& section, const QString& key, const QString& value) {
    const QString user = UserSettingsPath();
    // A write must land where the next read looks.
    if (!ShippedFilesInstalled() && !IniHasKey(user, section, key) &&
        WriteIniString(ProgramSettingsPath(), section, key, value))
        return true;
    if (!QDir().mkpath(QFileInfo(user).path())) return false;
    return WriteIniString(user, section, key, value);
}
