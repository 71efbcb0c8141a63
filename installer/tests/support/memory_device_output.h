#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/device_output.h"

namespace velmara {

// In-memory devices that answer as Windows does: an unknown path is ERROR_FILE_NOT_FOUND, a device
// opened without sharing cannot be opened a second time before it is closed
// (ERROR_SHARING_VIOLATION), and each write lands whole. The tests can make a device refuse the
// open or the write. One thread at a time: the tests run writer jobs on their own thread.
class MemoryDeviceOutput final : public DeviceOutput {
 public:
  struct Device {
    std::uint32_t openError = 0;   // non-zero: every open fails with this code
    std::uint32_t writeError = 0;  // non-zero: every write fails with this code
    bool open = false;
    int opens = 0;
    std::vector<std::vector<std::uint8_t>> writes;  // the bytes of each successful write
  };

  MemoryDeviceOutput();
  ~MemoryDeviceOutput() override;

  std::unique_ptr<DeviceChannel> Open(const std::string& devicePath, std::uint32_t* error) override;

  Device& Add(const std::string& devicePath);
  // Null when no device has this path.
  const Device* Find(const std::string& devicePath) const;

 private:
  std::map<std::u16string, std::shared_ptr<Device>> devices_;
};

}  // namespace velmara
