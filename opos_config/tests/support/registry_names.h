#pragma once

#include <string>
#include <string_view>

namespace corvale {

// The registry compares key and value names without regard to case, by upper-casing each UTF-16
// unit with the system's case table (RtlUpcaseUnicodeChar). No unit turns into two, and a letter
// has a capital there only when that capital's small letter is the letter again: in Wine 8's
// table, which this one copies, the dotless i, the long s, the micro sign, the final sigma and
// the title-case digraphs keep their own. For the in-memory registry; the registry contract suite
// holds it against the real one.
char16_t FoldRegistryChar(char16_t c);
std::u16string FoldRegistryName(std::u16string_view name);
bool SameRegistryName(std::u16string_view a, std::u16string_view b);

}  // namespace corvale
