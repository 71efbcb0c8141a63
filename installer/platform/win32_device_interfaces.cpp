#include "win32_device_interfaces.h"

#include <windows.h>

#include <cstddef>
#include <cwchar>
#include <vector>

#include "win32_system_functions.h"
#include "win32_text.h"
#include "win32_unique_handles.h"

namespace velmara {

static_assert(kInterfaceActive == SPINT_ACTIVE && kInterfaceDefault == SPINT_DEFAULT &&
              kInterfaceRemoved == SPINT_REMOVED);

namespace {

GUID ToGuid(const DeviceClassGuid& g) {
  GUID guid{};
  guid.Data1 = g.data1;
  guid.Data2 = g.data2;
  guid.Data3 = g.data3;
  for (std::size_t i = 0; i < g.data4.size(); ++i) guid.Data4[i] = g.data4[i];
  return guid;
}

class Win32List final : public DeviceInterfaceList {
 public:
  Win32List(UniqueDeviceInfoList list, const GUID& interfaceClass, const SetupApiFunctions& setupApi)
      : list_(std::move(list)), class_(interfaceClass), setupApi_(setupApi) {}

  bool Enumerate(std::uint32_t memberIndex, std::uint32_t* flags, std::uint32_t* error) override {
    if (!Select(memberIndex, error)) return false;
    *flags = current_.Flags;
    return true;
  }

  bool ReadDevicePath(std::uint32_t memberIndex, std::string* devicePath, std::uint32_t* error) override {
    if (!Select(memberIndex, error)) return false;
    if (setupApi_.SetupDiGetDeviceInterfaceDetailW == nullptr) {
      *error = setupApi_.missing;
      return false;
    }
    DWORD required = 0;
    if (setupApi_.SetupDiGetDeviceInterfaceDetailW(list_.Get(), &current_, nullptr, 0, &required, nullptr) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      // Success without a buffer is no answer either: there would be no path to read.
      *error = GetLastError() == ERROR_SUCCESS ? ERROR_INVALID_USER_BUFFER : GetLastError();
      return false;
    }
    const std::size_t pathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    if (required < pathOffset + sizeof(WCHAR)) {
      *error = ERROR_INVALID_USER_BUFFER;
      return false;
    }
    // Whole structures, so that the buffer is aligned as the structure needs.
    std::vector<SP_DEVICE_INTERFACE_DETAIL_DATA_W> buffer(
        (required + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) - 1) / sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail = buffer.data();
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!setupApi_.SetupDiGetDeviceInterfaceDetailW(list_.Get(), &current_, detail, required, nullptr, nullptr)) {
      *error = GetLastError();
      return false;
    }
    const std::size_t capacity = (required - pathOffset) / sizeof(WCHAR);
    *devicePath = Narrow(std::wstring_view(detail->DevicePath, wcsnlen(detail->DevicePath, capacity)));
    return true;
  }

 private:
  // The interface data of |memberIndex|, kept so that reading the detail of the member just
  // enumerated asks the system once.
  bool Select(std::uint32_t memberIndex, std::uint32_t* error) {
    if (selected_ && currentIndex_ == memberIndex) return true;
    selected_ = false;
    current_ = SP_DEVICE_INTERFACE_DATA{};
    current_.cbSize = sizeof(SP_DEVICE_INTERFACE_DATA);
    if (setupApi_.SetupDiEnumDeviceInterfaces == nullptr) {
      *error = setupApi_.missing;
      return false;
    }
    if (!setupApi_.SetupDiEnumDeviceInterfaces(list_.Get(), nullptr, &class_, memberIndex, &current_)) {
      *error = GetLastError();
      return false;
    }
    selected_ = true;
    currentIndex_ = memberIndex;
    return true;
  }

  UniqueDeviceInfoList list_;
  GUID class_;
  const SetupApiFunctions& setupApi_;
  SP_DEVICE_INTERFACE_DATA current_{};
  std::uint32_t currentIndex_ = 0;
  bool selected_ = false;
};

}  // namespace

Win32DeviceInterfaces::Win32DeviceInterfaces() : setupApi_(SetupApi()) {}

std::unique_ptr<DeviceInterfaceList> Win32DeviceInterfaces::OpenPresent(const DeviceClassGuid& interfaceClass,
                                                                        std::uint32_t* error) {
  if (setupApi_.SetupDiGetClassDevsW == nullptr) {
    *error = setupApi_.missing;
    return nullptr;
  }
  const GUID guid = ToGuid(interfaceClass);
  UniqueDeviceInfoList list(
      setupApi_.SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!list.Valid()) {
    *error = GetLastError();
    return nullptr;
  }
  return std::make_unique<Win32List>(std::move(list), guid, setupApi_);
}

}  // namespace velmara
