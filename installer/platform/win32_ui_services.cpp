#include "win32_ui_services.h"

#include <windows.h>

#include <vector>

#include "win32_text.h"

namespace velmara {

std::string ProgramTitle() {
  // A path can be longer than MAX_PATH; grow until the name fits.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return "Velmara";
    if (length < path.size()) {
      std::wstring name(path.data(), length);
      const std::size_t slash = name.find_last_of(L"\\/");
      if (slash != std::wstring::npos) name.erase(0, slash + 1);
      const std::size_t dot = name.rfind(L'.');
      if (dot != std::wstring::npos && dot != 0) name.erase(dot);
      return Narrow(name);
    }
    path.resize(path.size() * 2);
  }
}

int Win32MessageBoxes::Show(WindowHandle owner, const std::string& text, unsigned style) {
  return MessageBoxW(static_cast<HWND>(owner), Wide(text).c_str(), Wide(ProgramTitle()).c_str(), style);
}

void Win32Pauses::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32DebugOutput::Write(std::string_view line) { OutputDebugStringW(Wide(line).c_str()); }

}  // namespace velmara
