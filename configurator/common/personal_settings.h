#pragma once
// What one user chose last, kept in that user's own settings file
// (UserSettingsPath(), never the program's): the port and line settings of
// the last successful open, and the interface language.
#include <QString>

#include <optional>

// The serial panel as it was when a port last opened. The codes are the
// values Q_OpenCom took: baud rate, data bits, parity code, stop-bits code.
struct PortChoice {
    QString port;  // as the panel passes it, without the "\\.\" prefix
    int baud = 0;
    int dataBits = 0;
    int parity = 0;
    int stopBits = 0;
    int timeoutMs = 0;
    bool operator==(const PortChoice&) const = default;
};

// Nothing until a port has opened once for this user.
std::optional<PortChoice> ReadPortChoice();
// False when the user's file cannot be written.
bool RememberPortChoice(const PortChoice& choice);

// "zh", "en", or empty for the system's language.
QString ReadLanguageChoice();
bool RememberLanguageChoice(const QString& language);

// 设置 → 容错读取; off until chosen.
bool ReadTolerantReadsChoice();
bool RememberTolerantReadsChoice(bool on);
