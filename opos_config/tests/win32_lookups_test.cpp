// What Corvale (and Dunlith, which shares these adapters) do on a Windows that lacks a function they
// look up at run time. Wine exports them all, so each test plays the older Windows through the
// lookup that the adapters take.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "older_windows.h"
#include "platform/win32_dll_search.h"
#include "platform/win32_registry.h"

namespace corvale::testing {
namespace {

using namespace pos::testing;
using ::testing::Contains;
using ::testing::ElementsAre;

TEST(DllSearch, WithoutTheNarrowedSearchOnlyTheCurrentDirectoryLeavesIt) {
  ExpectOnlyTheCurrentDirectoryLeavesTheSearchOnWindowsXp(RestrictDllSearch);
}

TEST(DllSearch, WithoutEitherFunctionNothingIsCalled) { ExpectNothingCalledWithoutEitherFunction(RestrictDllSearch); }

TEST(DllSearch, WhereTheSystemCanTheSearchIsNarrowedToTheSystemDirectory) {
  ExpectTheSearchNarrowedToTheSystemDirectoryWhereTheSystemCan(RestrictDllSearch);
}

// A scratch key under HKEY_LOCAL_MACHINE with one subkey, removed again with the test.
class KeyDeletion : public ::testing::Test {
 protected:
  void SetUp() override {
    g_lookups.Clear();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kParent);
    HKEY child = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kParent) + L"\\Child").c_str(), 0, nullptr, 0,
                              KEY_READ, nullptr, &child, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(child);
  }
  void TearDown() override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kParent); }

  bool ChildExists() {
    HKEY child = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kParent) + L"\\Child").c_str(), 0, KEY_READ, &child) !=
        ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(child);
    return true;
  }

  static constexpr const wchar_t* kParent = L"SOFTWARE\\Corvale Lookup Test";
  static constexpr const char16_t* kParent16 = u"SOFTWARE\\Corvale Lookup Test";
};

TEST_F(KeyDeletion, WithoutRegDeleteKeyExWASubkeyGoesWithRegDeleteKeyW) {
  Win32Registry registry(WindowsXp);
  EXPECT_THAT(g_lookups.asked, Contains("RegDeleteKeyExW"));
  std::unique_ptr<RegistryKey> parent;
  ASSERT_EQ(registry.OpenKey(kParent16, reg::kReadWrite | reg::kDelete, &parent), reg::kSuccess);
  EXPECT_EQ(parent->DeleteSubKey(u"Child"), reg::kSuccess);
  EXPECT_FALSE(ChildExists());
}

TEST_F(KeyDeletion, WhereTheSystemHasRegDeleteKeyExWItIsTheOneUsed) {
  Win32Registry registry(WindowsWithAll);
  std::unique_ptr<RegistryKey> parent;
  ASSERT_EQ(registry.OpenKey(kParent16, reg::kReadWrite | reg::kDelete, &parent), reg::kSuccess);
  EXPECT_EQ(parent->DeleteSubKey(u"Child"), reg::kSuccess);
  EXPECT_THAT(g_lookups.deletedWithEx, ElementsAre(L"Child"));
  EXPECT_TRUE(ChildExists()) << "the recording stand-in deletes nothing";
}

}  // namespace
}  // namespace corvale::testing
