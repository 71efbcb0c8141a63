#pragma once

#include <cstdint>

#include "platform/system_info.h"

namespace corvale {

// A machine of a given architecture.
class FixedSystemInfo final : public SystemInfo {
 public:
  explicit FixedSystemInfo(std::uint16_t architecture) : architecture_(architecture) {}
  std::uint16_t NativeProcessorArchitecture() const override { return architecture_; }
  void SetArchitecture(std::uint16_t architecture) { architecture_ = architecture; }

 private:
  std::uint16_t architecture_;
};

}  // namespace corvale
