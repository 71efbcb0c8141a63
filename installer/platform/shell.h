#pragma once

#include <string>
#include <vector>

#include "ui_services.h"

namespace velmara {

inline constexpr int kShowShow = 5;  // SW_SHOW

// Starting other programs, and finding their windows.
class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteW; the result is not looked at.
  virtual void Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                       const std::string& parameters, int show) = 0;
  // The system directory (GetSystemDirectoryW), empty when the system does not say.
  virtual std::string SystemDirectory() = 0;
  // Finds a top-level window by its title and, when it has a tab control, brings the tab of
  // |tabIndex| to the front (TCM_SETCURFOCUS). False when there is no such window.
  virtual bool SelectTabOfWindow(const std::string& title, int tabIndex) = 0;
};

// Records what it was asked to start, and shows the windows it is told of.
class RecordingShell final : public Shell {
 public:
  struct Call {
    WindowHandle owner;
    std::string verb;
    std::string file;
    std::string parameters;
    int show;
  };
  void Execute(WindowHandle owner, const std::string& verb, const std::string& file, const std::string& parameters,
               int show) override {
    calls.push_back({owner, verb, file, parameters, show});
  }
  std::string SystemDirectory() override { return systemDirectory; }
  bool SelectTabOfWindow(const std::string& title, int tabIndex) override {
    searches.push_back(title);
    for (const std::string& open : openWindows) {
      if (open == title) {
        selectedTabs.push_back(tabIndex);
        return true;
      }
    }
    return false;
  }

  std::vector<Call> calls;
  std::string systemDirectory = "C:\\Windows\\system32";
  std::vector<std::string> openWindows;
  std::vector<std::string> searches;
  std::vector<int> selectedTabs;
};

class Win32Shell final : public Shell {
 public:
  void Execute(WindowHandle owner, const std::string& verb, const std::string& file, const std::string& parameters,
               int show) override;
  std::string SystemDirectory() override;
  bool SelectTabOfWindow(const std::string& title, int tabIndex) override;
};

}  // namespace velmara
