#include "common/record_fields.h"

#include <QCoreApplication>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "common/record_text.h"
#include "common/text_codec.h"

QString HexFieldText(std::uint16_t value) { return QString::number(value, 16); }

namespace {
// 0..15 for an ASCII hexadecimal digit, -1 for anything else.
int HexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}
}  // namespace

std::optional<std::uint16_t> ScanHexWord(const QString& text) {
    const auto digitAt = [&text](qsizetype i) { return i < text.size() ? HexDigitValue(text[i]) : -1; };
    qsizetype at = 0;
    while (at < text.size() && text[at].isSpace()) ++at;
    // "0x" is a prefix only when a digit follows; "0x" alone reads as the number 0.
    if (digitAt(at) == 0 && at + 1 < text.size() && text[at + 1].toLower() == QLatin1Char('x') && digitAt(at + 2) >= 0)
        at += 2;
    if (digitAt(at) < 0) return std::nullopt;
    std::uint16_t value = 0;
    // Shifting within 16 bits keeps exactly the low 16 bits of the whole number.
    for (; digitAt(at) >= 0; ++at) value = static_cast<std::uint16_t>((value << 4) | digitAt(at));
    return value;
}

FieldRule FieldRuleOf(const char* name) {
    FieldRule rule;
    QrvFieldInfo info{};
    info.Size = sizeof info;
    const int index = Q_FieldFind(name);
    if (Q_FieldInfo(index, &info) != 1) return rule;
    rule.index = index;
    rule.min = info.Min;
    rule.max = info.Max;
    rule.hex = (info.Flags & QRV_FIELD_HEX) != 0;
    if (info.Kind == QRV_FIELD_NAMED || info.Kind == QRV_FIELD_CODED) {
        // The codes, which the lists hold in order from the lowest.
        rule.min = rule.max = info.ChoiceCount > 0 ? info.Choices[0].Code : 0;
        for (int i = 0; i < info.ChoiceCount; ++i) {
            rule.min = std::min<qint64>(rule.min, info.Choices[i].Code);
            rule.max = std::max<qint64>(rule.max, info.Choices[i].Code);
        }
    }
    return rule;
}

bool FormAccepts(const char* name, const QString& text) {
    QrvFieldInfo info{};
    info.Size = sizeof info;
    const int index = Q_FieldFind(name);
    if (Q_FieldInfo(index, &info) != 1) return false;
    switch (info.Kind) {
        case QRV_FIELD_TEXT: {
            const std::string bytes = TextToMbcs(text);
            // A character GBK lacks does not come back from the round trip.
            return MbcsToText(bytes.c_str(), bytes.size() + 1) == text &&
                   Q_FieldCheckText(index, bytes.data(), static_cast<int32_t>(bytes.size())) == 1;
        }
        case QRV_FIELD_NUMBER: {
            bool isNumber = false;
            QString digits = text;
            if ((info.Flags & QRV_FIELD_HEX) && digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
                digits = digits.mid(2);
            const bool plain = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [&](QChar c) {
                return (info.Flags & QRV_FIELD_HEX) ? std::isxdigit(c.unicode() < 128 ? c.toLatin1() : 'g') != 0
                                                    : c.isDigit() && c.unicode() < 128;
            });
            const qlonglong value = digits.toLongLong(&isNumber, (info.Flags & QRV_FIELD_HEX) ? 16 : 10);
            return plain && isNumber && Q_FieldCheck(index, value) == 1;
        }
        default:
            for (int i = 0; i < info.ChoiceCount; ++i)
                if (text.compare(QString::fromUtf8(info.Choices[i].Name), Qt::CaseInsensitive) == 0)
                    return Q_FieldCheck(index, info.Choices[i].Code) == 1;
            return false;
    }
}

QString RangeMessage(const QString& label, const FieldRule& rule) {
    if (rule.hex)
        return QCoreApplication::translate("RecordFields", "%1：请输入 %2–%3 之间的十六进制数。")
            .arg(label, QString::number(rule.min, 16).toUpper(), QString::number(rule.max, 16).toUpper());
    return QCoreApplication::translate("RecordFields", "%1：请输入 %2–%3 之间的整数。")
        .arg(label, QString::number(rule.min), QString::number(rule.max));
}

RecordList RecordListOf(const char* name) {
    const FieldRule rule = FieldRuleOf(name);
    return {static_cast<int>(rule.min), static_cast<int>(rule.max - rule.min + 1)};
}

int ListPositionOf(std::uint8_t value, RecordList list) {
    const int position = static_cast<int>(value) - list.offset;
    return position >= 0 && position < list.count ? position : -1;
}

std::uint8_t ListValueOf(int position, RecordList list, std::uint8_t recorded) {
    if (position < 0 || position >= list.count) return recorded;
    return static_cast<std::uint8_t>(position + list.offset);
}

QString ModuleKindText(std::uint16_t devType) {
    if (devType == 0x00) return QStringLiteral("BOOT");
    if (devType == 0x10) return QStringLiteral("QVR-1");
    return QStringLiteral("QVR-2");
}

QString ModuleStatusLine(const ModuleBase& base, const ModuleProperty& property) {
    return ModuleKindText(property.DevType) + QLatin1Char(' ') + FormatFwVersion(property.FwVersion) +
           QLatin1Char(' ') + RunStateText(base.RunState);
}

bool StoreMbcsField(const QString& text, char* field, std::size_t fieldBytes) {
    const std::string bytes = TextToMbcs(text);
    if (bytes.size() + 1 > fieldBytes) return false;
    // Like a C string copy: the bytes after the terminator stay as they were.
    std::memcpy(field, bytes.c_str(), bytes.size() + 1);
    return true;
}

AdvancedValues AdvancedValuesOf(const ModuleProperty& property) {
    return {property.FrameGap, property.FrameLen, property.RetryCount, property.RetryInterval};
}

void StoreAdvancedValues(const AdvancedValues& values, ModuleProperty& property) {
    property.FrameLen = static_cast<std::uint8_t>(values.FrameLen & 0xFF);
    property.FrameGap = static_cast<std::uint8_t>(values.FrameGap & 0xFF);
    property.RetryCount = static_cast<std::uint8_t>(values.RetryCount & 0xFF);
    property.RetryInterval = static_cast<std::uint16_t>(values.RetryInterval & 0xFFFF);
}
