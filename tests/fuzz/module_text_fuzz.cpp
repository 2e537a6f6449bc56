// Module text conversion on arbitrary bytes: the lenient direction always
// gives valid UTF-8, and exact conversions round-trip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/module_text.h"

namespace {
bool IsValidUtf8(const std::string& s) {
    return qrv::text::ConvertExact(s, "UTF-8", "UTF-8").has_value();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qrv::text;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string shown = ModuleTextToUtf8(bytes);
    if (!IsValidUtf8(shown)) std::abort();
    if (const auto exact = ConvertExact(bytes, kModuleCodePage, "UTF-8")) {
        if (*exact != shown) std::abort();
    }
    (void)ConvertLenient(bytes, "UTF-8", kModuleCodePage);
    if (const auto gbk = Utf8ToModuleText(bytes)) {
        if (ModuleTextToUtf8(*gbk).size() == 0 && !bytes.empty()) std::abort();
    }
    return 0;
}
