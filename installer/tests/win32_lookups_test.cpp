// What Velmara does on a Windows that lacks a function it looks up at run time. Wine exports them
// all, so each test plays the older Windows through the lookup that the start-up takes.
#include <gtest/gtest.h>

#include "older_windows.h"
#include "platform/win32_dll_search.h"

namespace velmara::testing {
namespace {

using namespace pos::testing;

TEST(DllSearch, WithoutTheNarrowedSearchOnlyTheCurrentDirectoryLeavesIt) {
  ExpectOnlyTheCurrentDirectoryLeavesTheSearchOnWindowsXp(RestrictDllSearch);
}

TEST(DllSearch, WithoutEitherFunctionNothingIsCalled) { ExpectNothingCalledWithoutEitherFunction(RestrictDllSearch); }

TEST(DllSearch, WhereTheSystemCanTheSearchIsNarrowedToTheSystemDirectory) {
  ExpectTheSearchNarrowedToTheSystemDirectoryWhereTheSystemCan(RestrictDllSearch);
}

}  // namespace
}  // namespace velmara::testing
