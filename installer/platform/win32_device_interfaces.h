#pragma once

#include "device_interfaces.h"

namespace velmara {

// SetupAPI's wide functions.
class Win32DeviceInterfaces final : public DeviceInterfaces {
 public:
  std::unique_ptr<DeviceInterfaceList> OpenPresent(const DeviceClassGuid& interfaceClass,
                                                   std::uint32_t* error) override;
};

}  // namespace velmara
