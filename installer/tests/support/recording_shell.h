#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace velmara {

// Records what it was asked to start, and shows the windows it is told of.
class RecordingShell final : public Shell {
 public:
  struct Call {
    WindowHandle owner;
    std::string verb;
    std::string file;
    std::string parameters;
    std::string directory;
    int show;
  };
  void Execute(WindowHandle owner, const std::string& verb, const std::string& file, const std::string& parameters,
               const std::string& directory, int show) override {
    calls.push_back({owner, verb, file, parameters, directory, show});
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

}  // namespace velmara
