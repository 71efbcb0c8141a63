#pragma once

#include <cstdint>
#include <string>

namespace corvale {

// A window of the program (an HWND), opaque outside the Win32 adapters.
using WindowHandle = void*;

inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL

// Starts other programs.
class Shell {
 public:
  virtual ~Shell() = default;
  // The process's current directory (GetCurrentDirectoryW); empty when it cannot be had.
  virtual std::u16string CurrentDirectory() = 0;
  // ShellExecuteW; the result is not looked at.
  virtual void Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                       const std::u16string& parameters, const std::u16string& directory, int show) = 0;
};

class Win32Shell final : public Shell {
 public:
  std::u16string CurrentDirectory() override;
  void Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               const std::u16string& parameters, const std::u16string& directory, int show) override;
};

}  // namespace corvale
