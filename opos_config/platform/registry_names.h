#pragma once

#include <string>
#include <string_view>

namespace corvale {

// The registry compares key and value names without regard to case, by upper-casing each UTF-16
// unit with the system's case table. These give the same answer for the letters of the Latin,
// Greek, Cyrillic and Armenian scripts and the full-width forms; other characters compare as
// they stand.
char16_t FoldRegistryChar(char16_t c);
std::u16string FoldRegistryName(std::u16string_view name);
bool SameRegistryName(std::u16string_view a, std::u16string_view b);

}  // namespace corvale
