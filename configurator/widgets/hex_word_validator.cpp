#include "widgets/hex_word_validator.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

QValidator* NewHexWordValidator(QObject* parent) {
    static const QRegularExpression pattern(QStringLiteral("(0[xX])?[0-9a-fA-F]{0,4}"));
    return new QRegularExpressionValidator(pattern, parent);
}
