#pragma once

#include <string>
#include <string_view>

#include "text.h"

namespace velmara {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 strings pass to the W functions as they are");

// The one place where Velmara's UTF-8 texts become the UTF-16 of the wide functions.
inline std::wstring Wide(std::string_view utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(u.begin(), u.end());
}

inline std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

}  // namespace velmara
