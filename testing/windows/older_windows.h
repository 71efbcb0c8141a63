#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Older Windows, played through the function lookups that the programs take at start-up and in
// their adapters: Wine exports every function they look up, so a test that wants the path where
// one is missing hands them one of these lookups instead. The stand-ins record their calls.
namespace pos::testing {

using Procedure = void (*)();

struct LookupRecord {
  std::vector<std::string> asked;
  std::vector<std::wstring> dllDirectories;
  std::vector<DWORD> defaultDirectories;
  std::vector<std::wstring> deletedWithEx;

  void Clear() { *this = LookupRecord(); }
};

inline LookupRecord g_lookups;

inline BOOL WINAPI RecordSetDllDirectory(LPCWSTR path) {
  g_lookups.dllDirectories.push_back(path != nullptr ? path : L"<null>");
  return TRUE;
}
inline BOOL WINAPI RecordSetDefaultDllDirectories(DWORD flags) {
  g_lookups.defaultDirectories.push_back(flags);
  return TRUE;
}
inline LONG WINAPI RecordRegDeleteKeyEx(HKEY, LPCWSTR path, REGSAM, DWORD) {
  g_lookups.deletedWithEx.push_back(path);
  return ERROR_SUCCESS;
}

inline Procedure SystemsOwn(const wchar_t* module, const char* name) {
  HMODULE loaded = GetModuleHandleW(module);
  return loaded != nullptr ? reinterpret_cast<Procedure>(GetProcAddress(loaded, name)) : nullptr;
}

inline Procedure Missing(const char* name) {
  g_lookups.asked.push_back(name);
  return nullptr;
}

// A Windows that has all of them, each a recording stand-in.
inline Procedure WindowsWithAll(const wchar_t* module, const char* name) {
  const std::string wanted(name);
  if (wanted == "SetDllDirectoryW") return g_lookups.asked.push_back(name), reinterpret_cast<Procedure>(RecordSetDllDirectory);
  if (wanted == "SetDefaultDllDirectories") {
    return g_lookups.asked.push_back(name), reinterpret_cast<Procedure>(RecordSetDefaultDllDirectories);
  }
  if (wanted == "RegDeleteKeyExW") return g_lookups.asked.push_back(name), reinterpret_cast<Procedure>(RecordRegDeleteKeyEx);
  return SystemsOwn(module, name);
}
// Windows XP with its service packs: SetDllDirectoryW, but neither SetDefaultDllDirectories nor, on
// the 32-bit edition, RegDeleteKeyExW.
inline Procedure WindowsXp(const wchar_t* module, const char* name) {
  const std::string wanted(name);
  if (wanted == "SetDefaultDllDirectories" || wanted == "RegDeleteKeyExW") return Missing(name);
  return WindowsWithAll(module, name);
}
// Windows XP before its first service pack: not even SetDllDirectoryW.
inline Procedure WindowsXpGold(const wchar_t* module, const char* name) {
  if (std::string(name) == "SetDllDirectoryW") return Missing(name);
  return WindowsXp(module, name);
}

inline std::wstring SystemDirectory() {
  wchar_t directory[MAX_PATH + 1] = {};
  GetSystemDirectoryW(directory, MAX_PATH);
  return directory;
}

// The folder the process loaded |name| from; empty when it has not loaded it.
inline std::wstring LoadedFrom(const wchar_t* name) {
  HMODULE module = GetModuleHandleW(name);
  if (module == nullptr) return std::wstring();
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\'));
}

inline bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// What a program's start-up restriction of the DLL search does on each Windows; |restrictSearch| is
// the program's own, which takes the lookup.
using Lookup = Procedure (*)(const wchar_t* module, const char* name);
using RestrictSearch = void (*)(Lookup lookup);

inline void ExpectOnlyTheCurrentDirectoryLeavesTheSearchOnWindowsXp(RestrictSearch restrictSearch) {
  g_lookups.Clear();
  restrictSearch(WindowsXp);
  EXPECT_THAT(g_lookups.asked, ::testing::Contains("SetDefaultDllDirectories"));
  EXPECT_THAT(g_lookups.dllDirectories, ::testing::ElementsAre(L""));
  EXPECT_THAT(g_lookups.defaultDirectories, ::testing::IsEmpty());
  // What Windows components load by name later is taken from the system directory now.
  for (const wchar_t* name : {L"uxtheme.dll", L"msimg32.dll"}) {
    EXPECT_TRUE(SameFolder(LoadedFrom(name), SystemDirectory())) << LoadedFrom(name);
  }
}

inline void ExpectNothingCalledWithoutEitherFunction(RestrictSearch restrictSearch) {
  g_lookups.Clear();
  restrictSearch(WindowsXpGold);
  EXPECT_THAT(g_lookups.asked, ::testing::Contains("SetDllDirectoryW"));
  EXPECT_THAT(g_lookups.dllDirectories, ::testing::IsEmpty());
  EXPECT_THAT(g_lookups.defaultDirectories, ::testing::IsEmpty());
}

inline void ExpectTheSearchNarrowedToTheSystemDirectoryWhereTheSystemCan(RestrictSearch restrictSearch) {
  g_lookups.Clear();
  restrictSearch(WindowsWithAll);
  EXPECT_THAT(g_lookups.dllDirectories, ::testing::ElementsAre(L""));
  EXPECT_THAT(g_lookups.defaultDirectories, ::testing::ElementsAre(DWORD{0x00000800}))
      << "LOAD_LIBRARY_SEARCH_SYSTEM32";
}

}  // namespace pos::testing
