#include "common/ini_edit.h"

#include <QList>
#include <QStringList>
#include <QStringView>

namespace {

// What the parser takes for blanks around names and values.
bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

QStringView Trimmed(QStringView text) {
    while (!text.isEmpty() && IsBlank(text.front())) text = text.sliced(1);
    while (!text.isEmpty() && IsBlank(text.back())) text.chop(1);
    return text;
}

char16_t AsciiLower(QChar c) {
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? static_cast<char16_t>(u - u'A' + u'a') : u;
}

bool SameName(QStringView a, QStringView b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

struct Line {
    QStringView content;  // without its line ending
    QStringView ending;   // "\n", "\r\n" or empty at the end of the text
};

QList<Line> SplitLines(QStringView text) {
    QList<Line> lines;
    while (!text.isEmpty()) {
        const qsizetype newline = text.indexOf(u'\n');
        const qsizetype end = newline < 0 ? text.size() : newline + 1;
        QStringView line = text.first(end);
        qsizetype endingSize = newline < 0 ? 0 : 1;
        if (newline > 0 && text[newline - 1] == u'\r') endingSize = 2;
        lines.append({line.first(line.size() - endingSize), line.last(endingSize)});
        text = text.sliced(end);
    }
    return lines;
}

// The section a header line names, or nothing for any other line.
std::optional<QStringView> SectionName(QStringView content) {
    const QStringView line = Trimmed(content);
    if (!line.startsWith(u'[')) return std::nullopt;
    const qsizetype close = line.indexOf(u']');
    if (close < 0) return std::nullopt;
    return Trimmed(line.sliced(1, close - 1));
}

bool IsComment(QStringView content) {
    const QStringView line = Trimmed(content);
    return line.startsWith(u';') || line.startsWith(u'#');
}

// Where the value of a `key=value` line starts, or -1 for another key.
qsizetype ValueStart(QStringView content, QStringView key) {
    if (IsComment(content)) return -1;
    const qsizetype equals = content.indexOf(u'=');
    if (equals < 0 || !SameName(Trimmed(content.first(equals)), key)) return -1;
    qsizetype start = equals + 1;
    while (start < content.size() && (content[start] == u' ' || content[start] == u'\t')) ++start;
    return start;
}

bool BreaksALine(const QString& text) { return text.contains(u'\n') || text.contains(u'\r'); }

}  // namespace

std::optional<QString> SetIniValueInText(const QString& text, const QString& section, const QString& key,
                                         const QString& value) {
    if (BreaksALine(section) || BreaksALine(key) || BreaksALine(value)) return std::nullopt;
    const QList<Line> lines = SplitLines(text);
    const QString ending =
        lines.isEmpty() || lines.front().ending.isEmpty() ? QStringLiteral("\n") : lines.front().ending.toString();
    QStringList out;
    bool inSection = false;
    bool firstOccurrence = false;  // inside the section's first occurrence
    bool keySeen = false;
    qsizetype insertAfter = -1;  // its last entry, or its header
    for (const Line& line : lines) {
        if (const auto name = SectionName(line.content)) {
            inSection = SameName(*name, section);
            firstOccurrence = inSection && insertAfter < 0;
            if (firstOccurrence) insertAfter = out.size();
        } else if (inSection) {
            if (const qsizetype start = ValueStart(line.content, key); start >= 0) {
                out.append(line.content.first(start).toString() + value + line.ending.toString());
                keySeen = true;
                continue;
            }
            if (firstOccurrence && !Trimmed(line.content).isEmpty() && !IsComment(line.content))
                insertAfter = out.size();
        }
        out.append(line.content.toString() + line.ending.toString());
    }
    if (keySeen) return out.join(QString());

    // A last line without an ending gets one before anything follows it.
    const auto endLine = [&out, &ending](qsizetype at) {
        if (!out[at].endsWith(u'\n')) out[at] += ending;
    };
    const QString entry = key + u'=' + value + ending;
    if (insertAfter >= 0) {
        endLine(insertAfter);
        out.insert(insertAfter + 1, entry);
    } else {
        if (!out.isEmpty()) endLine(out.size() - 1);
        out.append(u'[' + section + u']' + ending + entry);
    }
    return out.join(QString());
}
