#include "common/text_codec.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

constexpr const char* kModuleCodePage = "CP936";

bool IsUtf8(const char* name) { return std::strcmp(name, "UTF-8") == 0; }

// Length of the UTF-8 sequence a lead byte starts; 1 for a stray byte.
std::size_t Utf8SequenceLength(unsigned char lead) {
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2) return 2;
    return 1;
}

class Iconv {
public:
    Iconv(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Iconv() {
        if (valid()) iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return handle_; }

private:
    iconv_t handle_;
};

}  // namespace

std::string ConvertCodePage(const std::string& bytes, const char* from, const char* to) {
    Iconv converter(to, from);
    if (!converter.valid() || bytes.empty()) return {};
    const std::string replacement = IsUtf8(to) ? std::string("\xEF\xBF\xBD") : std::string("?");

    std::string out;
    char buffer[256];
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (result != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // EILSEQ (a byte or character the other side lacks) or EINVAL (the
        // text ends inside a sequence): mark it and go on after it.
        out += replacement;
        std::size_t skip = IsUtf8(from) ? Utf8SequenceLength(static_cast<unsigned char>(*in)) : 1;
        if (errno == EINVAL || skip > inLeft) skip = inLeft;
        in += skip;
        inLeft -= skip;
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);  // reset the shift state
    }
    // Flush any pending state of stateful encodings.
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(converter.get(), nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    return out;
}

QString MbcsToText(const char* text, std::size_t maxBytes) {
    if (text == nullptr || maxBytes == 0) return QString();
    const std::size_t length = strnlen(text, maxBytes);
    if (length == 0) return QString();
    return QString::fromStdString(ConvertCodePage(std::string(text, length), kModuleCodePage, "UTF-8"));
}

std::string TextToMbcs(const QString& text) {
    // Like a C string, the text ends at its first NUL.
    const qsizetype nul = text.indexOf(QChar(0));
    const QString used = nul < 0 ? text : text.left(nul);
    if (used.isEmpty()) return {};
    return ConvertCodePage(used.toStdString(), "UTF-8", kModuleCodePage);
}

bool FitsMbcsField(const QString& text, std::size_t fieldBytes) {
    return TextToMbcs(text).size() + 1 <= fieldBytes;
}
