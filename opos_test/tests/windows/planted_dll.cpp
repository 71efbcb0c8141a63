// Plays a DLL that somebody planted beside Dunlith.exe under the name of a system DLL: once
// loaded, it leaves a file beside itself named after itself with ".loaded" added.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(instance, path.data(), static_cast<DWORD>(path.size()));
  if (length == 0 || length >= path.size()) return TRUE;
  path.resize(length);
  path += L".loaded";
  HANDLE marker = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (marker != INVALID_HANDLE_VALUE) CloseHandle(marker);
  return TRUE;
}
