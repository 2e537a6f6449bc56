#pragma once
// Settings the user changes (the search dialog's "Search" keys) where the
// program may write them. In the build tree the shipped Meshcfg.ini beside
// the program stays the place for them. An installed program never writes
// its shipped file (a package owns it; running as root changes nothing), and
// neither does any program whose file cannot be written or read faithfully:
// the change goes to the user's file $XDG_CONFIG_HOME/qrvtune/Meshcfg.ini
// (~/.config when unset) instead, and from then on that file is read first
// for the keys it holds.
#include <QString>

// GetModuleDir() + "/Meshcfg.ini": the shipped settings (module_dir.h).
QString ProgramSettingsPath();

// $XDG_CONFIG_HOME/qrvtune/Meshcfg.ini; $HOME/.config stands in for an
// unset or relative XDG_CONFIG_HOME.
QString UserSettingsPath();

// The key's value from the user's file when it holds the key, else from the
// program's (empty when neither does).
QString ReadUserSetting(const QString& section, const QString& key);

// Writes the key to the file it is read from: the user's file once that
// holds it or when the program is installed, else the program's, falling
// back to the user's (creating its folder) when the program's cannot be
// written. False when neither can.
bool WriteUserSetting(const QString& section, const QString& key, const QString& value);
