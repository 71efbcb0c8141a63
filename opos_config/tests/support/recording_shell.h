#pragma once

#include <string>
#include <vector>

#include "platform/shell.h"

namespace corvale {

// Records what it was asked to start, in a fixed current directory.
class RecordingShell final : public Shell {
 public:
  struct Call {
    WindowHandle owner;
    std::u16string verb;
    std::u16string file;
    std::u16string parameters;
    std::u16string directory;
    int show;
  };
  std::u16string CurrentDirectory() override { return currentDirectory; }
  bool Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               const std::u16string& parameters, const std::u16string& directory, int show,
               std::u16string* failure) override {
    calls.push_back({owner, verb, file, parameters, directory, show});
    if (!failureText.empty()) *failure = failureText;
    return failureText.empty();
  }
  std::u16string currentDirectory = u"C:\\Shop";
  // Set, a start fails with these words.
  std::u16string failureText;
  std::vector<Call> calls;
};

}  // namespace corvale
