#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvale {

// A window of the program (an HWND), opaque outside the Win32 adapters.
using WindowHandle = void*;

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

// Starts other programs.
class Shell {
 public:
  virtual ~Shell() = default;
  // ShellExecuteW; the result is not looked at.
  virtual void Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                       const std::u16string& parameters, const std::u16string& directory, int show) = 0;
};

// Records what it was asked to start.
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
  void Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               const std::u16string& parameters, const std::u16string& directory, int show) override {
    calls.push_back({owner, verb, file, parameters, directory, show});
  }
  std::vector<Call> calls;
};

class Win32Shell final : public Shell {
 public:
  void Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               const std::u16string& parameters, const std::u16string& directory, int show) override;
};

}  // namespace corvale
