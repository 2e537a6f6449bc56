#pragma once
// The versions the about box shows.
#include <QString>

// The program's own version, "MAJOR.MINOR.PATCH" as the project builds it.
QString ProgramVersion();

// The module SDK's version, "MAJOR.MINOR.PATCH". Taken from the public
// header's version macros, i.e. the SDK this program was built against.
QString SdkVersion();
