#include "win32_device_output.h"

#include <windows.h>

#include "win32_text.h"
#include "win32_unique_handles.h"

namespace velmara {

static_assert(device_error::kFileNotFound == ERROR_FILE_NOT_FOUND && device_error::kAccessDenied == ERROR_ACCESS_DENIED &&
              device_error::kNotEnoughMemory == ERROR_NOT_ENOUGH_MEMORY && device_error::kGenFailure == ERROR_GEN_FAILURE &&
              device_error::kSharingViolation == ERROR_SHARING_VIOLATION &&
              device_error::kInvalidParameter == ERROR_INVALID_PARAMETER &&
              device_error::kInsufficientBuffer == ERROR_INSUFFICIENT_BUFFER &&
              device_error::kNoMoreItems == ERROR_NO_MORE_ITEMS &&
              device_error::kInvalidUserBuffer == ERROR_INVALID_USER_BUFFER);

namespace {

class Win32Channel final : public DeviceChannel {
 public:
  explicit Win32Channel(UniqueKernelHandle file) : file_(std::move(file)) {}

  bool Write(const std::uint8_t* data, std::uint32_t size, std::uint32_t* written, std::uint32_t* error) override {
    DWORD count = 0;
    if (!WriteFile(file_.Get(), data, size, &count, nullptr)) {
      *error = GetLastError();
      *written = count;
      return false;
    }
    *written = count;
    return true;
  }

 private:
  UniqueKernelHandle file_;
};

}  // namespace

std::unique_ptr<DeviceChannel> Win32DeviceOutput::Open(const std::string& devicePath, std::uint32_t* error) {
  UniqueKernelHandle file(CreateFileW(Wide(devicePath).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
  if (!file.Valid()) {
    *error = GetLastError();
    return nullptr;
  }
  return std::make_unique<Win32Channel>(std::move(file));
}

}  // namespace velmara
