// What the store relies on from the registry, checked against the in-memory registry and, under
// Wine, against the real one. Where Wine is more lenient than Windows, the in-memory registry
// follows Windows and the case says so.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "registry_backends.h"
#include "support/registry_names.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace corvale::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::u16string kScratch = u"SOFTWARE\\CorvaleRegistryContract";

std::vector<std::uint8_t> Sz(const std::u16string& text) {
  std::vector<std::uint8_t> bytes((text.size() + 1) * sizeof(char16_t), 0);
  std::memcpy(bytes.data(), text.data(), text.size() * sizeof(char16_t));
  return bytes;
}

std::vector<std::uint8_t> Dword(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

class RegistryContract : public ::testing::TestWithParam<RegistryBackend> {
 protected:
  void SetUp() override {
    under_ = GetParam().make();
    under_->RemoveTree(kScratch);
    scratch_ = Create(kScratch);
    ASSERT_NE(scratch_, nullptr);
  }
  void TearDown() override {
    scratch_.reset();
    under_->RemoveTree(kScratch);
  }

  Registry& registry() { return under_->registry(); }

  std::unique_ptr<RegistryKey> Create(const std::u16string& path, std::uint32_t access = reg::kReadWrite) {
    std::unique_ptr<RegistryKey> key;
    EXPECT_EQ(registry().CreateKey(path, access, &key, nullptr), reg::kSuccess) << "creating the test key";
    return key;
  }

  RegStatus Open(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key = nullptr) {
    std::unique_ptr<RegistryKey> local;
    return registry().OpenKey(path, access, key != nullptr ? key : &local);
  }

  RegStatus Set(RegistryKey& key, const std::u16string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) {
    return key.SetValue(name, type, data.data(), static_cast<std::uint32_t>(data.size()));
  }

  std::vector<std::u16string> ValueNames(RegistryKey& key) {
    std::vector<std::u16string> names;
    for (std::uint32_t i = 0;; ++i) {
      char16_t name[512];
      std::uint32_t chars = 512;
      const RegStatus s = key.EnumValue(i, name, &chars, nullptr, nullptr, nullptr);
      if (s == reg::kNoMoreItems) break;
      EXPECT_EQ(s, reg::kSuccess) << "value " << i;
      if (s != reg::kSuccess) break;
      names.emplace_back(name, chars);
    }
    return names;
  }

  std::vector<std::u16string> SubkeyNames(RegistryKey& key) {
    std::vector<std::u16string> names;
    for (std::uint32_t i = 0;; ++i) {
      char16_t name[512];
      std::uint32_t chars = 512;
      const RegStatus s = key.EnumKey(i, name, &chars);
      if (s == reg::kNoMoreItems) break;
      EXPECT_EQ(s, reg::kSuccess) << "subkey " << i;
      if (s != reg::kSuccess) break;
      names.emplace_back(name, chars);
    }
    return names;
  }

  std::unique_ptr<RegistryUnderTest> under_;
  std::unique_ptr<RegistryKey> scratch_;
};

TEST_P(RegistryContract, KeyNamesIgnoreCaseAndKeepTheirSpelling) {
  std::unique_ptr<RegistryKey> key;
  std::uint32_t disposition = 0;
  ASSERT_EQ(registry().CreateKey(kScratch + u"\\MixedCase", reg::kReadWrite, &key, &disposition), reg::kSuccess);
  EXPECT_EQ(disposition, reg::kCreatedNewKey);
  ASSERT_EQ(registry().CreateKey(u"software\\corvaleregistrycontract\\MIXEDCASE", reg::kReadWrite, &key, &disposition),
            reg::kSuccess);
  EXPECT_EQ(disposition, reg::kOpenedExistingKey);
  EXPECT_EQ(Open(kScratch + u"\\mixedcase", reg::kRead), reg::kSuccess);
  EXPECT_THAT(SubkeyNames(*scratch_), ElementsAre(u"MixedCase"));
}

TEST_P(RegistryContract, CreatingMakesTheKeysOnTheWay) {
  std::uint32_t disposition = 0;
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(registry().CreateKey(kScratch + u"\\a\\b\\c", reg::kReadWrite, &key, &disposition), reg::kSuccess);
  EXPECT_EQ(disposition, reg::kCreatedNewKey);
  EXPECT_EQ(Open(kScratch + u"\\a\\b", reg::kRead), reg::kSuccess);
}

// Whether this process is a 32-bit one on a 64-bit Windows, whose registry functions redirect
// HKLM\SOFTWARE to the 32-bit view.
bool InWow64() {
#ifdef _WIN32
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#else
  return false;
#endif
}

// The store names the 32-bit view by its path below SOFTWARE\WOW6432Node in every process: where
// the view is redirected the registry takes the name for the key it already leads to, never for
// another level below it.
TEST_P(RegistryContract, APathThroughWow6432NodeLeadsToTheKeyItNamesHoweverItIsMade) {
  const std::u16string top = u"SOFTWARE\\WOW6432Node\\CorvaleRegistryContract32";
  under_->RemoveTree(top);
  std::unique_ptr<RegistryKey> key = Create(top + u"\\a\\b");
  ASSERT_NE(key, nullptr);
  ASSERT_EQ(Set(*key, u"Value", reg::kTypeDword, Dword(7)), reg::kSuccess);
  key.reset();
  const RegStatus opened = Open(top + u"\\a\\b", reg::kRead, &key);
  if (under_->IsWine() && InWow64()) {
    // Wine's WoW64 puts a path of several new keys made in one call below SOFTWARE\WOW6432Node of
    // a 32-bit process one WOW6432Node deeper, where the same path no longer finds it; one new key
    // a call lands where it belongs. The tests' own seeding makes paths a key at a time.
    EXPECT_EQ(opened, reg::kFileNotFound) << "Wine now treats WOW6432Node in a new path as Windows does";
    under_->RemoveTree(u"SOFTWARE\\WOW6432Node\\WOW6432Node\\CorvaleRegistryContract32");
    under_->RemoveTree(top);
    std::unique_ptr<RegistryKey> step = Create(top);
    step = Create(top + u"\\a");
    step = Create(top + u"\\a\\b");
    ASSERT_NE(step, nullptr);
    ASSERT_EQ(Set(*step, u"Value", reg::kTypeDword, Dword(7)), reg::kSuccess);
    step.reset();
    ASSERT_EQ(Open(top + u"\\a\\b", reg::kRead, &key), reg::kSuccess);
  } else {
    ASSERT_EQ(opened, reg::kSuccess);
  }
  std::uint32_t type = 0;
  std::uint8_t data[4] = {};
  std::uint32_t size = sizeof(data);
  EXPECT_EQ(key->QueryValue(u"Value", &type, data, &size), reg::kSuccess);
  EXPECT_EQ(std::vector<std::uint8_t>(data, data + size), Dword(7));
  key.reset();
  under_->RemoveTree(top);
}

TEST_P(RegistryContract, PathsAsTheSystemReadsThem) {
  Create(kScratch + u"\\Key");
  EXPECT_EQ(Open(kScratch + u"\\Missing", reg::kRead), reg::kFileNotFound);
  EXPECT_EQ(Open(kScratch + u"\\Missing\\Key", reg::kRead), reg::kFileNotFound);
  EXPECT_EQ(Open(u"\\" + kScratch, reg::kRead), reg::kBadPathname);
  // A trailing backslash names the key itself.
  EXPECT_EQ(Open(kScratch + u"\\Key\\", reg::kRead), reg::kSuccess);
  EXPECT_EQ(Open(kScratch + u"\\", reg::kRead), reg::kSuccess);
}

TEST_P(RegistryContract, ValuesKeepTypeAndBytes) {
  const struct {
    std::u16string name;
    std::uint32_t type;
    std::vector<std::uint8_t> data;
  } cases[] = {
      {u"", reg::kTypeSz, Sz(u"default value")},
      {u"Text", reg::kTypeSz, Sz(u"中文 text")},
      {u"Expand", reg::kTypeExpandSz, Sz(u"%SystemRoot%")},
      {u"Number", reg::kTypeDword, Dword(0x41726401)},
      {u"Short dword", reg::kTypeDword, {7, 0}},
      {u"Odd", reg::kTypeSz, {'a', 0, 'b'}},
      {u"Empty", reg::kTypeBinary, {}},
  };
  for (const auto& c : cases) ASSERT_EQ(Set(*scratch_, c.name, c.type, c.data), reg::kSuccess);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name.begin(), c.name.end()));
    std::uint32_t type = 0xdeadbeef;
    std::uint8_t buffer[64];
    std::uint32_t size = sizeof(buffer);
    ASSERT_EQ(scratch_->QueryValue(c.name, &type, buffer, &size), reg::kSuccess);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::vector<std::uint8_t>(buffer, buffer + size), c.data);
  }
}

TEST_P(RegistryContract, ValueNamesIgnoreCaseAndKeepTheFirstSpelling) {
  ASSERT_EQ(Set(*scratch_, u"Alpha", reg::kTypeSz, Sz(u"x")), reg::kSuccess);
  ASSERT_EQ(Set(*scratch_, u"ALPHA", reg::kTypeDword, Dword(5)), reg::kSuccess);
  EXPECT_THAT(ValueNames(*scratch_), ElementsAre(u"Alpha"));
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  ASSERT_EQ(scratch_->QueryValue(u"alpha", &type, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(type, reg::kTypeDword);
  EXPECT_EQ(size, 4u);
}

TEST_P(RegistryContract, QueryReportsSizesAndMissingValues) {
  ASSERT_EQ(Set(*scratch_, u"Text", reg::kTypeSz, Sz(u"abc")), reg::kSuccess);
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(scratch_->QueryValue(u"Text", &type, nullptr, &size), reg::kSuccess);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(type, reg::kTypeSz);

  std::uint8_t small[4];
  size = sizeof(small);
  EXPECT_EQ(scratch_->QueryValue(u"Text", &type, small, &size), reg::kMoreData);
  EXPECT_EQ(size, 8u);

  type = 0xdeadbeef;
  size = 77;
  EXPECT_EQ(scratch_->QueryValue(u"Missing", &type, small, &size), reg::kFileNotFound);
  EXPECT_EQ(type, 0xdeadbeefu);
  EXPECT_EQ(size, 77u);
  EXPECT_EQ(scratch_->QueryValue(u"", &type, nullptr, &size), reg::kFileNotFound) << "no default value was set";
}

TEST_P(RegistryContract, EnumeratingValues) {
  ASSERT_EQ(Set(*scratch_, u"Second", reg::kTypeSz, Sz(u"0123456789")), reg::kSuccess);
  ASSERT_EQ(Set(*scratch_, u"First", reg::kTypeDword, Dword(1)), reg::kSuccess);
  ASSERT_EQ(Set(*scratch_, u"", reg::kTypeSz, Sz(u"d")), reg::kSuccess);
  if (under_->IsWine()) {
    // Wine keeps values sorted by name.
    EXPECT_THAT(ValueNames(*scratch_), ElementsAre(u"", u"First", u"Second"));
  } else {
    // Windows gives them in the order they were first set.
    EXPECT_THAT(ValueNames(*scratch_), ElementsAre(u"Second", u"First", u""));
  }

  const std::uint32_t second = under_->IsWine() ? 2 : 0;
  char16_t name[8] = {u'#', u'#', u'#'};
  std::uint32_t chars = 3;
  EXPECT_EQ(scratch_->EnumValue(second, name, &chars, nullptr, nullptr, nullptr), reg::kMoreData);
  EXPECT_EQ(chars, 3u);

  std::uint32_t type = 0;
  std::uint8_t data[4];
  std::uint32_t dataSize = sizeof(data);
  chars = 8;
  EXPECT_EQ(scratch_->EnumValue(second, name, &chars, &type, data, &dataSize), reg::kMoreData);
  EXPECT_EQ(dataSize, 22u);
  EXPECT_EQ(type, reg::kTypeSz);

  std::uint8_t big[64];
  dataSize = sizeof(big);
  chars = 8;
  ASSERT_EQ(scratch_->EnumValue(second, name, &chars, &type, big, &dataSize), reg::kSuccess);
  EXPECT_EQ(std::u16string(name, chars), u"Second");
  EXPECT_EQ(std::vector<std::uint8_t>(big, big + dataSize), Sz(u"0123456789"));

  chars = 8;
  EXPECT_EQ(scratch_->EnumValue(3, name, &chars, nullptr, nullptr, nullptr), reg::kNoMoreItems);
}

TEST_P(RegistryContract, EnumeratingSubkeys) {
  for (const char16_t* name : {u"zeta", u"Alpha", u"_under", u"ab", u"a_b"}) Create(kScratch + u"\\" + name);
  if (under_->IsWine()) {
    // Wine sorts by the lower-cased names.
    EXPECT_THAT(SubkeyNames(*scratch_), ElementsAre(u"_under", u"a_b", u"ab", u"Alpha", u"zeta"));
  } else {
    // Windows sorts by the upper-cased names, in which "_" follows the letters.
    EXPECT_THAT(SubkeyNames(*scratch_), ElementsAre(u"ab", u"Alpha", u"a_b", u"zeta", u"_under"));
  }
  char16_t name[8] = {u'#', u'#', u'#'};
  std::uint32_t chars = 2;  // no room for the terminator of the first name
  EXPECT_EQ(scratch_->EnumKey(0, name, &chars), reg::kMoreData);
  EXPECT_EQ(chars, 2u);
  chars = 8;
  EXPECT_EQ(scratch_->EnumKey(5, name, &chars), reg::kNoMoreItems);
}

TEST_P(RegistryContract, InfoCountsLongestNamesAndData) {
  const std::u16string longName(300, u'v');
  ASSERT_EQ(Set(*scratch_, longName, reg::kTypeSz, Sz(u"x")), reg::kSuccess);
  ASSERT_EQ(Set(*scratch_, u"data", reg::kTypeBinary, std::vector<std::uint8_t>(1000, 1)), reg::kSuccess);
  Create(kScratch + u"\\" + std::u16string(255, u'k'));
  Create(kScratch + u"\\short");
  RegKeyInfo info;
  ASSERT_EQ(scratch_->QueryInfo(&info), reg::kSuccess);
  EXPECT_EQ(info.subKeys, 2u);
  EXPECT_EQ(info.maxSubKeyChars, 255u);
  EXPECT_EQ(info.values, 2u);
  EXPECT_EQ(info.maxValueNameChars, 300u);
  EXPECT_EQ(info.maxValueDataBytes, 1000u);

  std::vector<char16_t> name(301);
  auto chars = static_cast<std::uint32_t>(name.size());
  const std::uint32_t index = under_->IsWine() ? 1 : 0;  // Wine: "data" sorts before "vvv…"
  ASSERT_EQ(scratch_->EnumValue(index, name.data(), &chars, nullptr, nullptr, nullptr), reg::kSuccess);
  EXPECT_EQ(std::u16string(name.data(), chars), longName);
}

TEST_P(RegistryContract, DeletingValues) {
  ASSERT_EQ(Set(*scratch_, u"Gone", reg::kTypeSz, Sz(u"x")), reg::kSuccess);
  EXPECT_EQ(scratch_->DeleteValue(u"GONE"), reg::kSuccess);
  EXPECT_EQ(scratch_->DeleteValue(u"Gone"), reg::kFileNotFound);
  std::uint32_t size = 0;
  EXPECT_EQ(scratch_->QueryValue(u"Gone", nullptr, nullptr, &size), reg::kFileNotFound);
}

TEST_P(RegistryContract, DeletingKeys) {
  Create(kScratch + u"\\Parent\\Child");
  Create(kScratch + u"\\Leaf");
  EXPECT_EQ(scratch_->DeleteSubKey(u"Parent"), reg::kAccessDenied) << "a key with subkeys stays";
  EXPECT_EQ(Open(kScratch + u"\\Parent\\Child", reg::kRead), reg::kSuccess);
  EXPECT_EQ(scratch_->DeleteSubKey(u"Parent\\Child"), reg::kSuccess);
  EXPECT_EQ(scratch_->DeleteSubKey(u"parent"), reg::kSuccess);
  EXPECT_EQ(scratch_->DeleteSubKey(u"Missing"), reg::kFileNotFound);
  EXPECT_EQ(Open(kScratch + u"\\Parent", reg::kRead), reg::kFileNotFound);
  EXPECT_THAT(SubkeyNames(*scratch_), ElementsAre(u"Leaf"));

  // An empty path names the key itself.
  EXPECT_EQ(scratch_->DeleteSubKey(u""), reg::kAccessDenied) << "it still has a subkey";
  std::unique_ptr<RegistryKey> leaf = Create(kScratch + u"\\Leaf");
  EXPECT_EQ(leaf->DeleteSubKey(u""), reg::kSuccess);
  EXPECT_EQ(Open(kScratch + u"\\Leaf", reg::kRead), reg::kFileNotFound);
}

TEST_P(RegistryContract, AHandleToADeletedKeyReportsIt) {
  std::unique_ptr<RegistryKey> doomed = Create(kScratch + u"\\Doomed");
  ASSERT_EQ(scratch_->DeleteSubKey(u"Doomed"), reg::kSuccess);
  std::uint32_t size = 0;
  EXPECT_EQ(doomed->QueryValue(u"x", nullptr, nullptr, &size), reg::kKeyDeleted);
  EXPECT_EQ(Set(*doomed, u"x", reg::kTypeSz, Sz(u"")), reg::kKeyDeleted);
}

TEST_P(RegistryContract, AHandleHasOnlyTheRightsItWasOpenedWith) {
  ASSERT_EQ(Set(*scratch_, u"v", reg::kTypeSz, Sz(u"x")), reg::kSuccess);
  std::unique_ptr<RegistryKey> reader;
  ASSERT_EQ(Open(kScratch, reg::kRead, &reader), reg::kSuccess);
  EXPECT_EQ(Set(*reader, u"w", reg::kTypeSz, Sz(u"y")), reg::kAccessDenied);
  EXPECT_EQ(reader->DeleteValue(u"v"), reg::kAccessDenied);
  std::uint32_t size = 0;
  EXPECT_EQ(reader->QueryValue(u"v", nullptr, nullptr, &size), reg::kSuccess);

  std::unique_ptr<RegistryKey> writer;
  ASSERT_EQ(Open(kScratch, reg::kSetValue, &writer), reg::kSuccess);
  EXPECT_EQ(writer->QueryValue(u"v", nullptr, nullptr, &size), reg::kAccessDenied);
  char16_t name[8];
  std::uint32_t chars = 8;
  EXPECT_EQ(writer->EnumKey(0, name, &chars), reg::kAccessDenied);
  EXPECT_EQ(Set(*writer, u"w", reg::kTypeSz, Sz(u"y")), reg::kSuccess);
}

TEST_P(RegistryContract, AKeyThatGrantsOnlyReading) {
  const std::u16string locked = kScratch + u"\\Locked";
  Create(locked + u"\\Inner");
  ASSERT_TRUE(under_->RestrictAccess(locked, reg::kRead));
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(Open(locked, reg::kRead), reg::kSuccess);
  EXPECT_EQ(Open(locked, reg::kReadWrite), reg::kAccessDenied);
  EXPECT_EQ(registry().CreateKey(locked, reg::kReadWrite, &key, nullptr), reg::kAccessDenied);
  EXPECT_EQ(registry().CreateKey(locked, reg::kRead, &key, nullptr), reg::kSuccess);
  EXPECT_EQ(scratch_->DeleteSubKey(u"Locked\\Inner"), reg::kSuccess) << "the subkey has rights of its own";

  const RegStatus created = registry().CreateKey(locked + u"\\New", reg::kReadWrite, &key, nullptr);
  key.reset();
  if (under_->IsWine()) {
    EXPECT_EQ(created, reg::kSuccess) << "Wine does not check the parent's right to create subkeys";
    ASSERT_EQ(scratch_->DeleteSubKey(u"Locked\\New"), reg::kSuccess);
  } else {
    EXPECT_EQ(created, reg::kAccessDenied);
  }

  const RegStatus deleted = scratch_->DeleteSubKey(u"Locked");
  if (under_->IsWine()) {
    EXPECT_EQ(deleted, reg::kSuccess) << "Wine does not check the right to delete";
  } else {
    EXPECT_EQ(deleted, reg::kAccessDenied);
  }
}

TEST_P(RegistryContract, AProcessWithoutAdministratorRights) {
  if (!under_->SetAdministrator(false)) GTEST_SKIP() << "the test process runs with administrator rights";
  std::unique_ptr<RegistryKey> key;
  EXPECT_EQ(Open(kScratch, reg::kRead), reg::kSuccess);
  EXPECT_EQ(Open(kScratch, reg::kReadWrite), reg::kAccessDenied);
  EXPECT_EQ(registry().CreateKey(kScratch + u"\\New", reg::kReadWrite, &key, nullptr), reg::kAccessDenied);
  EXPECT_EQ(registry().CreateKey(kScratch + u"\\New", reg::kRead, &key, nullptr), reg::kAccessDenied);
  EXPECT_EQ(registry().CreateKey(kScratch, reg::kRead, &key, nullptr), reg::kSuccess);
  under_->SetAdministrator(true);
  Create(kScratch + u"\\Leaf");
  under_->SetAdministrator(false);
  EXPECT_EQ(scratch_->DeleteSubKey(u"Leaf"), reg::kAccessDenied);
}

TEST_P(RegistryContract, LettersOfEveryScriptCompareWithoutCase) {
  const struct {
    std::u16string created;
    std::u16string opened;
    bool same;
  } cases[] = {
      {u"Latin", u"lATIN", true},          {u"\u00c4rger", u"\u00e4RGER", true},  // Ä ä
      {u"\u0178", u"\u00ff", true},        {u"\u0100\u0139", u"\u0101\u013a", true},
      {u"\u0391\u03a3", u"\u03b1\u03c3", true},  // Greek
      {u"\u042f\u0401", u"\u044f\u0451", true},  // Cyrillic
      {u"\u0531", u"\u0561", true},              // Armenian
      {u"\uff21", u"\uff41", true},              // full-width
      {u"\u00df", u"SS", false},                 // no letter turns into two
      {u"\u4e2d\u6587", u"\u4e2d\u6587", true},  {u"e\u0301", u"\u00e9", false},  // no normalisation
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.opened.begin(), c.opened.end()));
    const std::u16string base = kScratch + u"\\" + c.created;
    Create(base);
    EXPECT_EQ(Open(kScratch + u"\\" + c.opened, reg::kRead), c.same ? reg::kSuccess : reg::kFileNotFound);
    EXPECT_EQ(scratch_->DeleteSubKey(c.created), reg::kSuccess);
  }
}

// The blocks in which the names of LDNs meet letters with a capital.
struct UnicodeBlock {
  const char* name;
  char16_t first;
  char16_t last;
};
constexpr UnicodeBlock kBlocks[] = {
    {"Basic Latin", 0x0001, 0x007F},
    {"Latin-1 Supplement", 0x0080, 0x00FF},
    {"Latin Extended-A", 0x0100, 0x017F},
    {"Latin Extended-B", 0x0180, 0x024F},
    {"IPA Extensions", 0x0250, 0x02AF},
    {"Greek and Coptic", 0x0370, 0x03FF},
    {"Cyrillic", 0x0400, 0x04FF},
    {"Cyrillic Supplement", 0x0500, 0x052F},
    {"Armenian", 0x0530, 0x058F},
    {"Latin Extended Additional", 0x1E00, 0x1EFF},
    {"Greek Extended", 0x1F00, 0x1FFF},
    {"Letterlike Symbols", 0x2100, 0x214F},
    {"Number Forms", 0x2150, 0x218F},
    {"Enclosed Alphanumerics", 0x2460, 0x24FF},
    {"Halfwidth and Fullwidth Forms", 0xFF00, 0xFFEF},
};

std::string CodePoint(char16_t c) {
  char text[8];
  std::snprintf(text, sizeof(text), "U+%04X", static_cast<unsigned>(c));
  return text;
}

// One value per UTF-16 unit of every block, all in one key so that letters of different blocks
// can meet too, each holding its own unit: the registry keeps one value for all the names it
// takes for the same, with the data written to it last. The in-memory registry's case table must
// predict that, and the registry's own comparison must agree with it.
TEST_P(RegistryContract, WholeBlocksFoldAsTheCaseTableSays) {
  std::vector<char16_t> units;
  for (const UnicodeBlock& block : kBlocks) {
    for (char32_t c = block.first; c <= block.last; ++c) units.push_back(static_cast<char16_t>(c));
  }
  for (char16_t c : units) ASSERT_EQ(Set(*scratch_, std::u16string(1, c), reg::kTypeDword, Dword(c)), reg::kSuccess);

  std::map<char16_t, char16_t> lastOfFold;
  for (char16_t c : units) lastOfFold[FoldRegistryChar(c)] = c;
  std::vector<char16_t> stored(0x10000);
  for (const UnicodeBlock& block : kBlocks) {
    std::vector<std::string> differences;
    for (char32_t u = block.first; u <= block.last; ++u) {
      const auto c = static_cast<char16_t>(u);
      std::uint8_t data[4] = {};
      std::uint32_t size = sizeof(data);
      std::uint32_t type = 0;
      ASSERT_EQ(scratch_->QueryValue(std::u16string(1, c), &type, data, &size), reg::kSuccess) << CodePoint(c);
      stored[c] = static_cast<char16_t>(data[0] | data[1] << 8);
      const char16_t expected = lastOfFold[FoldRegistryChar(c)];
      if (stored[c] != expected) {
        differences.push_back(CodePoint(c) + " holds " + CodePoint(stored[c]) + ", the table says " +
                              CodePoint(expected));
      }
    }
    EXPECT_THAT(differences, IsEmpty()) << block.name;
  }

  // Two names are the same to the registry when they reached the same value.
  std::vector<std::string> disagreements;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const std::u16string_view a(&units[i], 1);
    const char16_t storedA = stored[units[i]];
    for (std::size_t j = i + 1; j < units.size(); ++j) {
      const bool same = storedA == stored[units[j]];
      const std::u16string_view b(&units[j], 1);
      if (registry().SameName(a, b) != same || (registry().UpcasedName(a) == registry().UpcasedName(b)) != same) {
        disagreements.push_back(CodePoint(units[i]) + (same ? " is " : " is not ") + CodePoint(units[j]));
      }
    }
  }
  EXPECT_THAT(disagreements, IsEmpty());
  EXPECT_TRUE(registry().SameName(u"D\u01b0\u01a1ng", u"D\u01af\u01a0NG"));
  EXPECT_EQ(registry().UpcasedName(u"D\u01b0\u01a1ng 1"), registry().UpcasedName(u"D\u01af\u01a0NG 1"));
  EXPECT_FALSE(registry().SameName(u"Dung", u"Dun"));
}

TEST_P(RegistryContract, StringsAreStoredAsGivenWithoutTerminator) {
  // The system looks one character past the given size and counts a NUL there as the
  // terminator the caller forgot; a letter there leaves the string unterminated.
  const std::vector<std::uint8_t> buffer = {'a', 0, 'b', 0, 'X', 0};
  ASSERT_EQ(scratch_->SetValue(u"Unterminated", reg::kTypeSz, buffer.data(), 4), reg::kSuccess);
  std::uint8_t out[16];
  std::uint32_t size = sizeof(out);
  std::uint32_t type = 0;
  ASSERT_EQ(scratch_->QueryValue(u"Unterminated", &type, out, &size), reg::kSuccess);
  EXPECT_EQ(std::vector<std::uint8_t>(out, out + size), (std::vector<std::uint8_t>{'a', 0, 'b', 0}));
}

INSTANTIATE_TEST_SUITE_P(Registry, RegistryContract, ::testing::ValuesIn(RegistryBackends()),
                         [](const ::testing::TestParamInfo<RegistryBackend>& p) { return p.param.name; });

}  // namespace
}  // namespace corvale::testing
