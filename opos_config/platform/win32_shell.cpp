#include <windows.h>
#include <shellapi.h>

#include <string>

#include "shell.h"

namespace corvale {

namespace {
const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
}  // namespace

std::u16string Win32Shell::CurrentDirectory() {
  // The directory can change between the size query and the read; a few fresh tries settle it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::u16string directory(needed, u'\0');
    const DWORD copied = GetCurrentDirectoryW(needed, reinterpret_cast<wchar_t*>(directory.data()));
    if (copied == 0) return {};
    if (copied < needed) {
      directory.resize(copied);
      return directory;
    }
  }
  return {};
}

void Win32Shell::Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                         const std::u16string& parameters, const std::u16string& directory, int show) {
  ShellExecuteW(static_cast<HWND>(owner), W(verb), W(file), W(parameters), W(directory), show);
}

}  // namespace corvale
