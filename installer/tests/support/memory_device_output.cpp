#include "memory_device_output.h"

#include <algorithm>

#include "platform/text.h"

namespace velmara {

namespace {

// Device names are looked up without regard to the case of ASCII letters.
std::u16string Folded(const std::string& path) {
  std::u16string folded = Utf8ToUtf16(path);
  std::transform(folded.begin(), folded.end(), folded.begin(), [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
  });
  return folded;
}

class MemoryChannel final : public DeviceChannel {
 public:
  explicit MemoryChannel(std::shared_ptr<MemoryDeviceOutput::Device> device) : device_(std::move(device)) {
    device_->open = true;
    ++device_->opens;
  }
  ~MemoryChannel() override { device_->open = false; }

  bool Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written, std::uint32_t* error) override {
    if (device_->writeError != 0) {
      *written = 0;
      *error = device_->writeError;
      return false;
    }
    device_->writes.emplace_back(data, data + size);
    *written = size;
    return true;
  }

 private:
  std::shared_ptr<MemoryDeviceOutput::Device> device_;
};

}  // namespace

MemoryDeviceOutput::MemoryDeviceOutput() = default;
MemoryDeviceOutput::~MemoryDeviceOutput() = default;

std::unique_ptr<DeviceChannel> MemoryDeviceOutput::Open(const std::string& devicePath, std::uint32_t* error) {
  const auto found = devices_.find(Folded(devicePath));
  if (found == devices_.end()) {
    *error = device_error::kFileNotFound;
    return nullptr;
  }
  Device& device = *found->second;
  if (device.openError != 0) {
    *error = device.openError;
    return nullptr;
  }
  if (device.open) {
    *error = device_error::kSharingViolation;
    return nullptr;
  }
  return std::make_unique<MemoryChannel>(found->second);
}

MemoryDeviceOutput::Device& MemoryDeviceOutput::Add(const std::string& devicePath) {
  std::shared_ptr<Device>& device = devices_[Folded(devicePath)];
  if (!device) device = std::make_shared<Device>();
  return *device;
}

const MemoryDeviceOutput::Device* MemoryDeviceOutput::Find(const std::string& devicePath) const {
  const auto found = devices_.find(Folded(devicePath));
  return found == devices_.end() ? nullptr : found->second.get();
}

}  // namespace velmara
