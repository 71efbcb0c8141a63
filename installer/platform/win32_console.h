#pragma once

#include "console.h"
#include "win32_unique_handles.h"

namespace velmara {

// The standard output the program was given when it is a file, a pipe or a console; else the
// console of the process that started the program (AttachConsole), where there is one.
class Win32Console final : public Console {
 public:
  Win32Console();
  bool Present() override { return output_ != nullptr; }
  void Write(std::string_view text) override;

 private:
  HANDLE output_ = nullptr;
  bool isConsole_ = false;
  UniqueKernelHandle opened_;
};

}  // namespace velmara
