#pragma once
// The record's 16-bit fields are typed in hexadecimal: at most four digits,
// after an optional "0x". A fifth digit is refused as it is typed instead of
// being dropped later (12345 would otherwise be stored as 0x2345).
#include <QValidator>

class QObject;

QValidator* NewHexWordValidator(QObject* parent);
