#pragma once
// The bytes of an INI file and their text. Settings files come from many
// editors: UTF-8 (with or without a byte-order mark), GB18030 from older
// Chinese Windows installations, UTF-16 with a byte-order mark from Windows'
// own tools. A file is written back in the encoding it was read in.
#include <QByteArray>
#include <QString>
#include <optional>

// Larger files are not settings files: they are neither parsed nor written.
inline constexpr qint64 kIniMaxBytes = 1024 * 1024;

enum class IniEncoding { Utf8, Gb18030, Utf16Le, Utf16Be };

struct IniText {
    QString text;  // without the byte-order mark
    IniEncoding encoding = IniEncoding::Utf8;
    QByteArray byteOrderMark;
    // Encoding the text again gives the file's bytes exactly, and it holds no
    // NUL (the parser stops at one): only then may the file be rewritten.
    bool faithful = true;
};

// The file's text; a missing file reads as an empty UTF-8 one. Nothing when
// the file exists but is not a regular file, cannot be read, or is larger
// than kIniMaxBytes.
std::optional<IniText> ReadIniText(const QString& path);

// Decodes a file's bytes: by its byte-order mark, else UTF-8 when the bytes
// are valid UTF-8, else GB18030 when they are valid GB18030, else line by
// line, each in the one it is valid in; the bytes of a line valid in
// neither become U+FFFD in the file's main encoding. Such a mixed file is
// not faithful: it is never rewritten.
IniText DecodeIniBytes(const QByteArray& bytes);

// The bytes of `text` in its encoding, byte-order mark first; nothing when a
// character has no form in it.
std::optional<QByteArray> EncodeIniText(const IniText& text);
