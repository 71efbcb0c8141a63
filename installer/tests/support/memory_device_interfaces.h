#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_interfaces.h"

namespace velmara {

// In-memory device-interface lists that answer as SetupAPI does: a list is a snapshot of the
// class's interfaces on present devices, in the order they were added, taken when it is opened,
// disabled interfaces included (without SPINT_ACTIVE); members past the end answer
// ERROR_NO_MORE_ITEMS. The tests can also make the system refuse the
// list or the detail of one interface.
class MemoryDeviceInterfaces final : public DeviceInterfaces {
 public:
  std::unique_ptr<DeviceInterfaceList> OpenPresent(const DeviceClassGuid& interfaceClass,
                                                   std::uint32_t* error) override;

  struct Interface {
    DeviceClassGuid interfaceClass;
    std::string devicePath;
    std::uint32_t flags = kInterfaceActive;
    bool present = true;
    std::uint32_t detailError = 0;  // non-zero: the detail read fails with this code
  };

  Interface& Add(const DeviceClassGuid& interfaceClass, const std::string& devicePath,
                 std::uint32_t flags = kInterfaceActive);
  // Non-zero: OpenPresent gives no list and this error code.
  void FailOpen(std::uint32_t error) { openError_ = error; }

  std::vector<Interface>& interfaces() { return interfaces_; }

 private:
  std::vector<Interface> interfaces_;
  std::uint32_t openError_ = 0;
};

}  // namespace velmara
