#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "shell.h"
#include "win32_system_library.h"
#include "win32_text.h"

namespace velmara {

void Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                         const std::string& parameters, const std::string& directory, int show) {
  ShellExecuteW(static_cast<HWND>(owner), Wide(verb).c_str(), Wide(file).c_str(), Wide(parameters).c_str(),
                directory.empty() ? nullptr : Wide(directory).c_str(), show);
}

std::string Win32Shell::SystemDirectory() { return Narrow(SystemDirectoryPath()); }

bool Win32Shell::SelectTabOfWindow(const std::string& title, int tabIndex) {
  HWND window = FindWindowW(nullptr, Wide(title).c_str());
  if (window == nullptr) return false;
  // Posted, not sent: the window belongs to another process, and a sent message would hold this
  // program's only window thread until that process answered, for ever if it hangs.
  HWND tabs = FindWindowExW(window, nullptr, L"SysTabControl32", nullptr);
  if (tabs != nullptr) PostMessageW(tabs, TCM_SETCURFOCUS, static_cast<WPARAM>(tabIndex), 0);
  return true;
}

}  // namespace velmara
