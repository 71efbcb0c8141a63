#include "case_fold.h"

#include "text.h"

namespace velmara {

namespace {

char16_t FoldUnit(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 0x20);
  if (c < 0x80) return c;
  if (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7) return static_cast<char16_t>(c + 0x20);
  // Latin Extended-A pairs an upper-case letter with the lower-case one after it, except around
  // the dotted and dotless i, where the pairs start on odd code points.
  if ((c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177)) {
    return static_cast<char16_t>(c | 1);
  }
  if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E)) {
    return (c & 1) != 0 ? static_cast<char16_t>(c + 1) : c;
  }
  if (c >= 0x0391 && c <= 0x03A9 && c != 0x03A2) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<char16_t>(c + 0x20);
  if (c >= 0x0400 && c <= 0x040F) return static_cast<char16_t>(c + 0x50);
  return c;
}

}  // namespace

std::u16string FoldCase(std::string_view utf8) {
  std::u16string folded = Utf8ToUtf16(utf8);
  for (char16_t& c : folded) c = FoldUnit(c);
  return folded;
}

}  // namespace velmara
