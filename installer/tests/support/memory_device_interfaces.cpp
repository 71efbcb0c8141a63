#include "memory_device_interfaces.h"

namespace velmara {

namespace {

class MemoryList final : public DeviceInterfaceList {
 public:
  explicit MemoryList(std::vector<MemoryDeviceInterfaces::Interface> members) : members_(std::move(members)) {}

  bool Enumerate(std::uint32_t memberIndex, std::uint32_t* flags, std::uint32_t* error) override {
    if (memberIndex >= members_.size()) {
      *error = device_error::kNoMoreItems;
      return false;
    }
    *flags = members_[memberIndex].flags;
    return true;
  }

  bool ReadDevicePath(std::uint32_t memberIndex, std::string* devicePath, std::uint32_t* error) override {
    if (memberIndex >= members_.size()) {
      *error = device_error::kNoMoreItems;
      return false;
    }
    const MemoryDeviceInterfaces::Interface& member = members_[memberIndex];
    if (member.detailError != 0) {
      *error = member.detailError;
      return false;
    }
    *devicePath = member.devicePath;
    return true;
  }

 private:
  std::vector<MemoryDeviceInterfaces::Interface> members_;
};

}  // namespace

std::unique_ptr<DeviceInterfaceList> MemoryDeviceInterfaces::OpenPresent(const DeviceClassGuid& interfaceClass,
                                                                         std::uint32_t* error) {
  if (openError_ != 0) {
    *error = openError_;
    return nullptr;
  }
  std::vector<Interface> members;
  for (const Interface& i : interfaces_) {
    if (i.present && i.interfaceClass == interfaceClass) members.push_back(i);
  }
  return std::make_unique<MemoryList>(std::move(members));
}

MemoryDeviceInterfaces::Interface& MemoryDeviceInterfaces::Add(const DeviceClassGuid& interfaceClass,
                                                               const std::string& devicePath,
                                                               std::uint32_t flags) {
  interfaces_.push_back({interfaceClass, devicePath, flags, true, 0});
  return interfaces_.back();
}

}  // namespace velmara
