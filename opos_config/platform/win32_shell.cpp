#include <windows.h>
#include <shellapi.h>

#include "shell.h"

namespace corvale {

namespace {
const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
}  // namespace

void Win32Shell::Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                         const std::u16string& parameters, const std::u16string& directory, int show) {
  ShellExecuteW(static_cast<HWND>(owner), W(verb), W(file), W(parameters), W(directory), show);
}

}  // namespace corvale
