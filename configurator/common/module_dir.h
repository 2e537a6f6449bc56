#pragma once
// Where the program's shipped files lie (Meshcfg.ini, desc.ini, the banner,
// the skin): beside the program in the build tree; once installed, with the
// program in <prefix>/bin, in <prefix>/share/qrvtune, the place for files
// that do not depend on the machine.
#include <QString>

// Folder of the shipped files without a trailing separator. Beside a program
// in the root directory this is the empty string, so GetModuleDir() +
// "/Meshcfg.ini" is still the right path.
QString GetModuleDir();

// True when the shipped files are the installed ones: they belong to the
// installation (a package owns them) and the program never writes them.
bool ShippedFilesInstalled();

// The directory of an executable's full path (the rule above).
QString ModuleDirOf(const QString& executablePath);

// The installed shipped files' folder relative to the program's folder
// ("../share/qrvtune" for the usual layout).
QString InstalledFilesFromProgramDir();

struct ShippedFiles {
    QString dir;
    bool installed = false;
};
// For a program at `executablePath`: the installed folder when it exists,
// else the program's own folder.
ShippedFiles ShippedFilesFor(const QString& executablePath);

// Stands `files` in for the shipped files' folder while it lives (a test's
// temporary folder; an empty folder means the program's own); the folder
// before it comes back when it goes, so stand-ins nest.
class ShippedFilesStandIn {
public:
    explicit ShippedFilesStandIn(ShippedFiles files);
    ~ShippedFilesStandIn();
    ShippedFilesStandIn(const ShippedFilesStandIn&) = delete;
    ShippedFilesStandIn& operator=(const ShippedFilesStandIn&) = delete;

private:
    ShippedFiles previous_;
};
