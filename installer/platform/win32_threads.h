#pragma once

#include "threads.h"

namespace velmara {

class Win32Threads final : public Threads {
 public:
  bool Start(std::unique_ptr<ThreadJob> job) override;
};

}  // namespace velmara
