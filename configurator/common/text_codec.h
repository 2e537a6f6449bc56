#pragma once
// Text inside module records is NUL-terminated GBK (code page 936): the
// modules in the field carry names and passwords written by Chinese-locale
// hosts. Bytes that do not decode show as U+FFFD, never silently vanish.
#include <QString>

#include <cstddef>
#include <string>

// Record text to UI text; null or empty gives the empty string. At most
// `maxBytes` bytes are read, so a full 16-byte field without a terminator is
// still read safely.
QString MbcsToText(const char* text, std::size_t maxBytes);
// No default length above: a record field (const or not) must reach the
// bounded overload below, never an unbounded pointer read.
inline QString MbcsToText(const std::string& text) { return MbcsToText(text.data(), text.size()); }

template <std::size_t N>
QString MbcsToText(const char (&field)[N]) {
    return MbcsToText(static_cast<const char*>(field), N);
}

// UI text to record text; characters GBK lacks become '?', as Windows does.
// The whole converted text is returned; whether it fits a field is the
// caller's test (see FitsMbcsField).
std::string TextToMbcs(const QString& text);

// True when TextToMbcs(text) plus its terminator fits `fieldBytes`.
bool FitsMbcsField(const QString& text, std::size_t fieldBytes);

// Converts between iconv code pages; undecodable input becomes the target's
// form of U+FFFD (or '?' where the target has none), one per bad byte.
std::string ConvertCodePage(const std::string& bytes, const char* from, const char* to);
