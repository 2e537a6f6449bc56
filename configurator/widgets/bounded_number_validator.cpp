#include "widgets/bounded_number_validator.h"

QValidator::State BoundedNumberValidator::validate(QString& input, int& /*position*/) const {
    if (input.isEmpty()) return Intermediate;
    for (const QChar c : input)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
    // Ten digits may overflow an int; every bound here has fewer.
    if (input.size() > 9) return Invalid;
    const int value = input.toInt();
    if (value > maximum_) return Invalid;
    return value < minimum_ ? Intermediate : Acceptable;
}
