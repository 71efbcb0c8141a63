#include "win32_dll_search.h"

#include <windows.h>

#include <string>
#include <vector>

namespace corvale {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, which the headers of Windows XP do not know.
constexpr DWORD kSearchSystem32 = 0x00000800;

template <typename Function>
Function Kernel32Function(SystemProcedureLookup lookup, const char* name) {
  return reinterpret_cast<Function>(lookup(L"kernel32.dll", name));
}

// DLLs that Windows components load by name as the program draws its windows: the theme library,
// and the image library that it loads in turn. Where the search cannot be narrowed (Windows XP,
// Vista) they would be looked for beside the program first; loaded now from the system directory,
// every later load by name finds them loaded. They stay loaded for the whole run.
const wchar_t* const kLoadedByNameLater[] = {L"uxtheme.dll", L"msimg32.dll"};

bool IsWindowsVista() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExW(&version) && version.dwMajorVersion == 6 && version.dwMinorVersion == 0;
}

}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  const UINT needed = GetSystemDirectoryW(nullptr, 0);
  if (needed == 0) return nullptr;
  std::vector<wchar_t> directory(needed);
  const UINT length = GetSystemDirectoryW(directory.data(), needed);
  if (length == 0 || length >= needed) return nullptr;
  const std::wstring path = std::wstring(directory.data(), length) + L"\\" + fileName;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

SystemProcedure LookUpSystemProcedure(const wchar_t* module, const char* name) {
  HMODULE loaded = GetModuleHandleW(module);
  return loaded != nullptr ? reinterpret_cast<SystemProcedure>(GetProcAddress(loaded, name)) : nullptr;
}

void RestrictDllSearch(SystemProcedureLookup lookup) {
  // Windows XP from SP1 on.
  if (const auto setDllDirectory = Kernel32Function<BOOL(WINAPI*)(LPCWSTR)>(lookup, "SetDllDirectoryW")) setDllDirectory(L"");
  // Windows 8 on, and Windows 7 and Vista with update KB2533623. Not on Vista: there COM fails to
  // create some of its objects once the search is narrowed, and ShellExecute, which starts the
  // printing-test program, works through COM; Vista keeps the rule above.
  if (!IsWindowsVista()) {
    if (const auto setDefaultDllDirectories = Kernel32Function<BOOL(WINAPI*)(DWORD)>(lookup, "SetDefaultDllDirectories")) {
      setDefaultDllDirectories(kSearchSystem32);
    }
  }
  // Runs before anything could catch: a DLL left unloaded for want of memory is only looked for
  // later, where the search above allows.
  try {
    for (const wchar_t* name : kLoadedByNameLater) LoadSystemLibrary(name);
  } catch (...) {
  }
}

}  // namespace corvale
