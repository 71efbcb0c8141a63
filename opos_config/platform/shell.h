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
  // ShellExecuteW. False when the program did not start; |failure| then receives the system's
  // words for why.
  virtual bool Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                       const std::u16string& parameters, const std::u16string& directory, int show,
                       std::u16string* failure) = 0;
};

class Win32Shell final : public Shell {
 public:
  std::u16string CurrentDirectory() override;
  bool Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
               const std::u16string& parameters, const std::u16string& directory, int show,
               std::u16string* failure) override;
};

}  // namespace corvale
