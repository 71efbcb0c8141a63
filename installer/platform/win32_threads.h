#pragma once

#include <vector>

#include "threads.h"
#include "win32_unique_handles.h"

namespace velmara {

// CreateThread, keeping the handle of every thread until it has ended, so that the program can
// wait for them.
class Win32Threads final : public Threads {
 public:
  bool Start(std::unique_ptr<ThreadJob> job) override;
  bool WaitForAll(std::uint32_t milliseconds) override;

 private:
  void ForgetEnded();

  std::vector<UniqueKernelHandle> running_;
};

}  // namespace velmara
