// Stands in for a DLL that someone left beside a program or in its current directory under the
// name of a system DLL. Whatever process loads it leaves a record beside it, "<its own path>
// .loaded", naming that process, so that a test can tell a DLL that was tried from one that never
// was. It does nothing else: a program that took it for the real one fails in its own way.
#include <windows.h>

#include <string>

#include "standin_support.h"

namespace {

std::wstring ModulePath(HMODULE module) {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length < path.size() ? length : 0);
  return path;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    const std::wstring self = ModulePath(instance);
    if (!self.empty()) pos::testing::WriteRecord(self + L".loaded", ModulePath(nullptr));
  }
  return TRUE;
}
