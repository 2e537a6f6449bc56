#pragma once
// The program's skin: a Qt style sheet in Styles/ beside the program.
#include <QString>

inline constexpr const char* kSkinFileName = "WinXP.Royale.cjstyles";

// Applies the file as the application's style sheet when it exists and holds
// text; a missing file or any other content leaves the platform's look, and
// nothing is reported. True when a style sheet was applied.
bool LoadSkin(const QString& path);
