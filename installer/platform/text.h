#pragma once

#include <string>
#include <string_view>

// Velmara keeps its texts as UTF-8 and hands them to Windows as UTF-16, through the wide
// functions, so that the Chinese texts show right whatever the code page for non-Unicode
// programs is.
namespace velmara {

// Malformed input becomes U+FFFD, one per bad sequence.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace velmara
