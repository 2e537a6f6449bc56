#pragma once
// Where the program lies: its settings, skin and image files lie beside it.
#include <QString>

// Directory of the running program without a trailing separator. A program in
// the root directory gives the empty string, so GetModuleDir() + "/Meshcfg.ini"
// is still the right path.
QString GetModuleDir();

// The module directory for an executable's full path (the rule above).
QString ModuleDirOf(const QString& executablePath);

namespace qrvtune::detail {
// Tests stand a temporary directory in for the program's own; an empty path
// goes back to the real one.
void OverrideModuleDir(const QString& directory);
}  // namespace qrvtune::detail
