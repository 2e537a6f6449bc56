#pragma once
// The versions the about box shows.
#include <QString>

// The program's own version, "MAJOR.MINOR.PATCH" as the project builds it.
QString ProgramVersion();

// The module SDK's version, "MAJOR.MINOR.PATCH": the library actually
// loaded, which may be newer than the one the program was built against.
QString SdkVersion();
