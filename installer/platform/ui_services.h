#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmara {

// A window of the program (an HWND), opaque outside the Win32 adapters.
using WindowHandle = void*;

// MessageBox styles and results, as Windows numbers them.
inline constexpr unsigned kMbOk = 0x00000000;
inline constexpr unsigned kMbYesNo = 0x00000004;
inline constexpr unsigned kMbIconQuestion = 0x00000020;
inline constexpr unsigned kMbIconExclamation = 0x00000030;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // A standard message box titled with the program's file name without extension; the result is
  // the button pressed.
  virtual int Show(WindowHandle owner, const std::string& text, unsigned style) = 0;
};

// Fixed pauses that block the calling thread.
class Pauses {
 public:
  virtual ~Pauses() = default;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
};

// Progress and failure lines for a debugger; the user never sees them.
class DebugOutput {
 public:
  virtual ~DebugOutput() = default;
  virtual void Write(std::string_view line) = 0;
};

}  // namespace velmara
