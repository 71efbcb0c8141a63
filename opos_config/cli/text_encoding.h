#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace corvale {

// UTF-8 as a settings file holds it. A lone surrogate, which UTF-8 cannot hold, becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);

// Strict UTF-8: no overlong form, no surrogate, nothing past U+10FFFF, no cut-off sequence. False
// for anything else, with |badByte| the offset of the first byte that is not UTF-8.
bool Utf16FromUtf8(std::string_view bytes, std::u16string* text, std::size_t* badByte);

}  // namespace corvale
