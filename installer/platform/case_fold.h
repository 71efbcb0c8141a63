#pragma once

#include <string>
#include <string_view>

namespace velmara {

// Windows compares printer names and file names without regard to letter case. This folds the
// letters that have a case in the scripts a printer or file name is likely to use (Latin, Greek,
// Cyrillic); two names are the same to the system when their folded forms are equal.
std::u16string FoldCase(std::string_view utf8);

inline bool EqualIgnoringCase(std::string_view a, std::string_view b) { return FoldCase(a) == FoldCase(b); }

}  // namespace velmara
