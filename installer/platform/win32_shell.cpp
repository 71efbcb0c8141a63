#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <vector>

#include "shell.h"
#include "win32_text.h"

namespace velmara {

void Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                         const std::string& parameters, int show) {
  ShellExecuteW(static_cast<HWND>(owner), Wide(verb).c_str(), Wide(file).c_str(), Wide(parameters).c_str(), nullptr,
                show);
}

std::string Win32Shell::SystemDirectory() {
  const UINT needed = GetSystemDirectoryW(nullptr, 0);
  if (needed == 0) return {};
  std::vector<wchar_t> buffer(needed);
  const UINT length = GetSystemDirectoryW(buffer.data(), needed);
  if (length == 0 || length >= needed) return {};
  return Narrow(std::wstring_view(buffer.data(), length));
}

bool Win32Shell::SelectTabOfWindow(const std::string& title, int tabIndex) {
  HWND window = FindWindowW(nullptr, Wide(title).c_str());
  if (window == nullptr) return false;
  HWND tabs = FindWindowExW(window, nullptr, L"SysTabControl32", nullptr);
  if (tabs != nullptr) SendMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tabIndex), 0);
  return true;
}

}  // namespace velmara
