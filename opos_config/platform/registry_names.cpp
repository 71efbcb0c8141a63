#include "registry_names.h"

namespace corvale {
namespace {

// Pairs in which the capital and the small letter are neighbours, the capital first.
constexpr bool SmallOfPair(char16_t c, char16_t first, char16_t last, bool capitalEven) {
  return c >= first && c <= last && ((c % 2 == 0) != capitalEven);
}

}  // namespace

char16_t FoldRegistryChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  if (c == 0x00B5) return 0x039C;
  if (c >= 0x00E0 && c <= 0x00FE && c != 0x00F7) return static_cast<char16_t>(c - 0x20);
  if (c == 0x00FF) return 0x0178;
  if (SmallOfPair(c, 0x0100, 0x012F, true) || SmallOfPair(c, 0x0132, 0x0137, true) ||
      SmallOfPair(c, 0x0139, 0x0148, false) || SmallOfPair(c, 0x014A, 0x0177, true) ||
      SmallOfPair(c, 0x0179, 0x017E, false)) {
    return static_cast<char16_t>(c - 1);
  }
  // Greek.
  if (c == 0x03AC) return 0x0386;
  if (c >= 0x03AD && c <= 0x03AF) return static_cast<char16_t>(c - 0x25);
  if (c == 0x03C2) return c;  // the final sigma has no capital of its own in the system's table
  if (c >= 0x03B1 && c <= 0x03CB) return static_cast<char16_t>(c - 0x20);
  if (c == 0x03CC) return 0x038C;
  if (c == 0x03CD || c == 0x03CE) return static_cast<char16_t>(c - 0x3F);
  // Cyrillic.
  if (c >= 0x0430 && c <= 0x044F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x0450 && c <= 0x045F) return static_cast<char16_t>(c - 0x50);
  if (SmallOfPair(c, 0x0460, 0x0481, true) || SmallOfPair(c, 0x048A, 0x04BF, true) ||
      SmallOfPair(c, 0x04C1, 0x04CE, false) || SmallOfPair(c, 0x04D0, 0x052F, true)) {
    return static_cast<char16_t>(c - 1);
  }
  if (c == 0x04CF) return 0x04C0;
  // Armenian.
  if (c >= 0x0561 && c <= 0x0586) return static_cast<char16_t>(c - 0x30);
  // Latin extended additional.
  if (SmallOfPair(c, 0x1E00, 0x1E95, true) || SmallOfPair(c, 0x1EA0, 0x1EFF, true)) {
    return static_cast<char16_t>(c - 1);
  }
  // Roman numerals, circled letters, full-width letters.
  if (c >= 0x2170 && c <= 0x217F) return static_cast<char16_t>(c - 0x10);
  if (c >= 0x24D0 && c <= 0x24E9) return static_cast<char16_t>(c - 0x1A);
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<char16_t>(c - 0x20);
  return c;
}

std::u16string FoldRegistryName(std::u16string_view name) {
  std::u16string folded(name);
  for (char16_t& c : folded) c = FoldRegistryChar(c);
  return folded;
}

bool SameRegistryName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldRegistryChar(a[i]) != FoldRegistryChar(b[i])) return false;
  }
  return true;
}

}  // namespace corvale
