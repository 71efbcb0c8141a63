#pragma once

#include "device_output.h"

namespace velmara {

class Win32DeviceOutput final : public DeviceOutput {
 public:
  std::unique_ptr<DeviceChannel> Open(const std::string& devicePath, std::uint32_t* error) override;
};

}  // namespace velmara
