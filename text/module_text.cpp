#include "text/module_text.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace qrv::text {

namespace {

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

// Runs the conversion; `onBadInput` is called at a byte that does not convert
// and returns false to give up (the result is then nothing).
template <typename OnBadInput>
std::optional<std::string> Run(std::string_view bytes, const char* from, const char* to, OnBadInput onBadInput) {
    Iconv converter(to, from);
    if (!converter.valid()) return std::nullopt;
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
        // text ends inside a sequence).
        const bool truncated = errno == EINVAL;
        if (!onBadInput(out)) return std::nullopt;
        std::size_t skip = IsUtf8(from) ? Utf8SequenceLength(static_cast<unsigned char>(*in)) : 1;
        if (truncated || skip > inLeft) skip = inLeft;
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

}  // namespace

std::string ConvertLenient(std::string_view bytes, const char* from, const char* to) {
    const std::string replacement = IsUtf8(to) ? std::string("\xEF\xBF\xBD") : std::string("?");
    auto converted = Run(bytes, from, to, [&replacement](std::string& out) {
        out += replacement;
        return true;
    });
    return converted ? std::move(*converted) : std::string();
}

std::optional<std::string> ConvertExact(std::string_view bytes, const char* from, const char* to) {
    return Run(bytes, from, to, [](std::string&) { return false; });
}

}  // namespace qrv::text
