#pragma once

#include "ui_services.h"

namespace velmara {

// MessageBoxW, titled with the file name of the running program without its extension.
class Win32MessageBoxes final : public MessageBoxes {
 public:
  int Show(WindowHandle owner, const std::string& text, unsigned style) override;
};

class Win32Pauses final : public Pauses {
 public:
  void Sleep(std::uint32_t milliseconds) override;
};

// OutputDebugStringW.
class Win32DebugOutput final : public DebugOutput {
 public:
  void Write(std::string_view line) override;
};

// The title of the program's message boxes: its file name without extension.
std::string ProgramTitle();

}  // namespace velmara
