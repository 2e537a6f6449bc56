#pragma once
// The search dialog's remembered choice in Meshcfg.ini (where:
// common/user_settings.h), section "Search":
// "Channel" holds one digit per channel box (6 first), "Rate" one per rate
// box ("250K", "500K", "1M"), "1" for ticked and "0" for not.
#include <QString>
#include <vector>

// Only the character '1' ticks a box; any other character, and positions
// beyond the value's end, leave it clear; characters beyond `count` are
// ignored.
std::vector<bool> TicksFromIni(const QString& value, int count);

// One "1" or "0" per box, joined without separators.
QString TicksToIni(const std::vector<bool>& ticks);

inline const QString kSearchSection = QStringLiteral("Search");
inline const QString kChannelKey = QStringLiteral("Channel");
inline const QString kRateKey = QStringLiteral("Rate");
