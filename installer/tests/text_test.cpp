#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace velmara {
namespace {

struct Case {
  const char* what;
  std::string utf8;
  std::u16string utf16;
};

const Case kRoundTrips[] = {
    {"ASCII", "Install Failed ! ", u"Install Failed ! "},
    {"Chinese", "安装失败！", u"\u5b89\u88c5\u5931\u8d25\uff01"},
    {"two-byte", "\xc3\xa9", u"\u00e9"},
    {"outside the BMP", "\xf0\x9f\x96\xa8", u"\xd83d\xdda8"},
    {"empty", "", u""},
    {"NUL inside", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
};

TEST(Text, ConvertsBothWays) {
  for (const Case& c : kRoundTrips) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
  }
}

TEST(Text, MalformedInputBecomesReplacementCharacters) {
  const struct {
    const char* what;
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"lone continuation", "a\x80z", u"a\ufffdz"},
      {"truncated at the end", "a\xe5\xae", u"a\ufffd"},
      {"overlong", "\xc0\xaf", u"\ufffd\ufffd"},
      {"surrogate", "\xed\xa0\x80", u"\ufffd"},
      {"beyond U+10FFFF", "\xf4\x90\x80\x80", u"\ufffd"},
      {"interrupted", "\xe5z", u"\ufffdz"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
  }
  EXPECT_EQ(Utf16ToUtf8(u"\xd800x"), "\xef\xbf\xbdx") << "a lone surrogate";
}

#ifdef _WIN32
// The conversion says what Windows' own says for well-formed text.
TEST(Text, AgreesWithWindows) {
  for (const Case& c : kRoundTrips) {
    SCOPED_TRACE(c.what);
    if (c.utf8.empty()) continue;
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, c.utf8.data(), static_cast<int>(c.utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, c.utf8.data(), static_cast<int>(c.utf8.size()), wide.data(), length);
    EXPECT_EQ(Utf8ToUtf16(c.utf8), std::u16string(wide.begin(), wide.end()));
  }
}
#endif

}  // namespace
}  // namespace velmara
