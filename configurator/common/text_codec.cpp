#include "common/text_codec.h"

#include <cstring>

#include "text/module_text.h"

std::string ConvertCodePage(const std::string& bytes, const char* from, const char* to) {
    return qrv::text::ConvertLenient(bytes, from, to);
}

QString MbcsToText(const char* text, std::size_t maxBytes) {
    if (text == nullptr || maxBytes == 0) return QString();
    const std::size_t length = strnlen(text, maxBytes);
    if (length == 0) return QString();
    return QString::fromStdString(qrv::text::ModuleTextToUtf8(std::string_view(text, length)));
}

std::string TextToMbcs(const QString& text) {
    // Like a C string, the text ends at its first NUL.
    const qsizetype nul = text.indexOf(QChar(0));
    const QString used = nul < 0 ? text : text.left(nul);
    if (used.isEmpty()) return {};
    return qrv::text::ConvertLenient(used.toStdString(), "UTF-8", qrv::text::kModuleCodePage);
}

bool FitsMbcsField(const QString& text, std::size_t fieldBytes) {
    return TextToMbcs(text).size() + 1 <= fieldBytes;
}
