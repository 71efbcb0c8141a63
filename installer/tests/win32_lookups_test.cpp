// What Velmara does on a Windows that lacks a function it looks up at run time. Wine exports them
// all, so each test plays the older Windows through the lookup that the start-up takes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "older_windows.h"
#include "platform/win32_dll_search.h"

namespace velmara::testing {
namespace {

using namespace pos::testing;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Lookups : public ::testing::Test {
 protected:
  void SetUp() override { g_lookups.Clear(); }
};

TEST_F(Lookups, WithoutTheNarrowedSearchOnlyTheCurrentDirectoryLeavesIt) {
  RestrictDllSearch(WindowsXp);
  EXPECT_THAT(g_lookups.asked, Contains("SetDefaultDllDirectories"));
  EXPECT_THAT(g_lookups.dllDirectories, ElementsAre(L""));
  EXPECT_THAT(g_lookups.defaultDirectories, IsEmpty());
  // What Windows components load by name later is taken from the system directory now.
  for (const wchar_t* name : {L"uxtheme.dll", L"msimg32.dll"}) {
    EXPECT_TRUE(SameFolder(LoadedFrom(name), SystemDirectory())) << LoadedFrom(name);
  }
}

TEST_F(Lookups, WithoutEitherFunctionNothingIsCalled) {
  RestrictDllSearch(WindowsXpGold);
  EXPECT_THAT(g_lookups.asked, Contains("SetDllDirectoryW"));
  EXPECT_THAT(g_lookups.dllDirectories, IsEmpty());
  EXPECT_THAT(g_lookups.defaultDirectories, IsEmpty());
}

TEST_F(Lookups, WhereTheSystemCanTheSearchIsNarrowedToTheSystemDirectory) {
  RestrictDllSearch(WindowsWithAll);
  EXPECT_THAT(g_lookups.dllDirectories, ElementsAre(L""));
  EXPECT_THAT(g_lookups.defaultDirectories, ElementsAre(DWORD{0x00000800})) << "LOAD_LIBRARY_SEARCH_SYSTEM32";
}

}  // namespace
}  // namespace velmara::testing
