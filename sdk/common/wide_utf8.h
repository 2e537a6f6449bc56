// The SDK's one conversion of wide-character text (paths from callers) to
// UTF-8, independent of the locale.
#pragma once

#include <string>
#include <string_view>

namespace qrv {

// UTF-32 (UTF-16 where wchar_t is 16 bits wide) to UTF-8. Anything that is
// not a Unicode scalar value (a lone surrogate, a value past U+10FFFF) comes
// out as U+FFFD, so a message can still quote the text, and makes the
// result false: such text names no file, and callers refuse it.
bool WideToUtf8(std::wstring_view text, std::string& utf8);

}  // namespace qrv
