#pragma once

#include "device_interfaces.h"

namespace velmara {

struct SetupApiFunctions;

// SetupAPI's wide functions, those of |functions|, which must outlive this and every list it
// opens: by default those of the setupapi.dll of the system directory.
class Win32DeviceInterfaces final : public DeviceInterfaces {
 public:
  Win32DeviceInterfaces();
  explicit Win32DeviceInterfaces(const SetupApiFunctions& functions) : setupApi_(functions) {}

  std::unique_ptr<DeviceInterfaceList> OpenPresent(const DeviceClassGuid& interfaceClass,
                                                   std::uint32_t* error) override;

 private:
  const SetupApiFunctions& setupApi_;
};

}  // namespace velmara
