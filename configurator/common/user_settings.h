#pragma once
// Settings the user changes (the search dialog's "Search" keys) where the
// program may write them. The program's own folder holds the shipped
// Meshcfg.ini and stays the place for it; when that folder cannot be
// written (an installed package), a change goes to the user's file
// $XDG_CONFIG_HOME/qrvtune/Meshcfg.ini (~/.config when unset) instead, and
// from then on that file is read first for the keys it holds.
#include <QString>

// GetModuleDir() + "/Meshcfg.ini": the shipped settings.
QString ProgramSettingsPath();

// $XDG_CONFIG_HOME/qrvtune/Meshcfg.ini; $HOME/.config stands in for an
// unset or relative XDG_CONFIG_HOME.
QString UserSettingsPath();

// The key's value from the user's file when it holds the key, else from the
// program's (empty when neither does).
QString ReadUserSetting(const QString& section, const QString& key);

// Writes the key to the file it is read from: the user's file once that
// holds it, else the program's, falling back to the user's (creating its
// folder) when the program's cannot be written. False when neither can.
bool WriteUserSetting(const QString& section, const QString& key, const QString& value);
