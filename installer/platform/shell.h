#pragma once

#include <string>

#include "ui_services.h"

namespace velmara {

inline constexpr int kShowShow = 5;  // SW_SHOW

// Starting other programs, and finding their windows.
class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteW, with |directory| as the started program's working directory; the result is not
  // looked at.
  virtual void Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                       const std::string& parameters, const std::string& directory, int show) = 0;
  // The system directory (GetSystemDirectoryW), empty when the system does not say.
  virtual std::string SystemDirectory() = 0;
  // Finds a top-level window by its title and, when it has a tab control, asks it to bring the tab
  // of |tabIndex| to the front (TCM_SETCURFOCUS), without waiting for the answer. False when there
  // is no such window.
  virtual bool SelectTabOfWindow(const std::string& title, int tabIndex) = 0;
};

class Win32Shell final : public Shell {
 public:
  void Execute(WindowHandle owner, const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory, int show) override;
  std::string SystemDirectory() override;
  bool SelectTabOfWindow(const std::string& title, int tabIndex) override;
};

}  // namespace velmara
