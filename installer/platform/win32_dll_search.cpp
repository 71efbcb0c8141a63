#include "win32_dll_search.h"

#include <windows.h>

namespace velmara {

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, which the headers of Windows XP do not know.
constexpr DWORD kSearchSystem32 = 0x00000800;

template <typename Function>
Function Kernel32Function(const char* name) {
  HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
  if (kernel32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(kernel32, name)));
}

bool IsWindowsVista() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof(version);
  return GetVersionExW(&version) && version.dwMajorVersion == 6 && version.dwMinorVersion == 0;
}

}  // namespace

void RestrictDllSearch() {
  // Windows XP from SP1 on.
  if (const auto setDllDirectory = Kernel32Function<BOOL(WINAPI*)(LPCWSTR)>("SetDllDirectoryW")) setDllDirectory(L"");
  // Windows 8 on, and Windows 7 and Vista with update KB2533623. Not on Vista: there COM fails to
  // create some of its objects once the search is narrowed, and ShellExecute, which starts the
  // printer properties, works through COM; Vista keeps the rule above.
  if (IsWindowsVista()) return;
  if (const auto setDefaultDllDirectories = Kernel32Function<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories")) {
    setDefaultDllDirectories(kSearchSystem32);
  }
}

}  // namespace velmara
