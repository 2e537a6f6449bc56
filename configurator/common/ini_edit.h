#pragma once
// One key set in an INI file's text, everything else left as it was: other
// lines, comments, blank lines, spacing around '=' and line endings.
#include <QString>
#include <optional>

// The text with `key` of `section` set to `value`: every line of the key in
// a section of that name gets the new value after its '='; a key not yet
// there is added after the last entry of the section's first occurrence,
// and a missing section is appended. Names compare as the parser compares
// them (ASCII letters without case); new lines end as the file's first line
// does. Nothing for names or values that would break a line.
std::optional<QString> SetIniValueInText(const QString& text, const QString& section, const QString& key,
                                         const QString& value);
