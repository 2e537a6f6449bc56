#include "dialogs/search_settings.h"

std::vector<bool> TicksFromIni(const QString& value, int count) {
    std::vector<bool> ticks(static_cast<std::size_t>(count), false);
    for (int k = 0; k < count && k < value.size(); ++k)
        ticks[static_cast<std::size_t>(k)] = value[k] == QLatin1Char('1');
    return ticks;
}

QString TicksToIni(const std::vector<bool>& ticks) {
    QString value;
    value.reserve(static_cast<qsizetype>(ticks.size()));
    for (const bool ticked : ticks) value += ticked ? QLatin1Char('1') : QLatin1Char('0');
    return value;
}
