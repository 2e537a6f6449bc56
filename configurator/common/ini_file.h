#pragma once
// INI files read and written with the rules Windows' private-profile calls
// follow, which the settings files copied from older installations rely on:
// section and key names ignore letter case, a missing file, section or key
// gives the default, and text values are cut to 259 characters. A file that
// cannot be read, is not a regular file or is larger than 1 MiB reads as
// empty.
#include <QString>

inline constexpr qsizetype kIniValueMaxChars = 259;

// The value, or the empty string when absent.
QString ReadIniString(const QString& path, const QString& section, const QString& key);

// Whether the file has the key in the section (an empty value counts).
bool IniHasKey(const QString& path, const QString& section, const QString& key);

// The value's leading decimal number (leading blanks and a sign accepted);
// a value without digits reads as 0, an absent one as `fallback`.
int ReadIniInt(const QString& path, const QString& section, const QString& key, int fallback);

// Sets the key, creating file and section when needed, and changes nothing
// else: every other line stays as it was, in the file's own encoding and line
// endings; the new file replaces the old by a rename and keeps its
// permissions. False, with the file untouched, when it could not be written,
// or could not be read whole and faithfully (unreadable, too large, NUL
// bytes, bytes that do not decode): the caller then writes elsewhere.
bool WriteIniString(const QString& path, const QString& section, const QString& key, const QString& value);
