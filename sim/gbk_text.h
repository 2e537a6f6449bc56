// Modules carry their names as GBK bytes; scenario files and terminals use
// UTF-8. Conversion goes through iconv.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qrv::sim {

// Nothing when the text cannot be converted (invalid input or no GBK form).
std::optional<std::string> Utf8ToGbk(std::string_view utf8);
std::optional<std::string> GbkToUtf8(std::string_view gbk);

}  // namespace qrv::sim
