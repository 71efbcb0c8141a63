#pragma once

#include <string>
#include <string_view>

namespace corvale {

// The registry compares key and value names without regard to case, by upper-casing each UTF-16
// unit with the system's case table: a letter has a capital there only when the capital's small
// letter is that letter again, so no unit turns into two and the dotless i, the long s, the
// micro sign, the final sigma and the title-case digraphs keep their own. This is that table, for
// the in-memory registry; the registry contract suite holds it against the real one.
char16_t FoldRegistryChar(char16_t c);
std::u16string FoldRegistryName(std::u16string_view name);
bool SameRegistryName(std::u16string_view a, std::u16string_view b);

}  // namespace corvale
