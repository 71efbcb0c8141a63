#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "device_errors.h"

// The device-interface lists of SetupAPI: the present interfaces of one interface class, each
// with its flags and its device path (UTF-8 here, UTF-16 at the Win32 boundary).
namespace velmara {

struct DeviceClassGuid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  friend bool operator==(const DeviceClassGuid&, const DeviceClassGuid&) = default;
};

// GUID_DEVINTERFACE_USBPRINT {28d78fad-5a12-11d1-ae5b-0000f803a8c2}, the interfaces of USB printers.
inline constexpr DeviceClassGuid kUsbPrintInterfaceClass{
    0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

// SP_DEVICE_INTERFACE_DATA.Flags.
inline constexpr std::uint32_t kInterfaceActive = 0x1;   // SPINT_ACTIVE
inline constexpr std::uint32_t kInterfaceDefault = 0x2;  // SPINT_DEFAULT
inline constexpr std::uint32_t kInterfaceRemoved = 0x4;  // SPINT_REMOVED

// An open device-information list (an HDEVINFO). Destroying it destroys the list.
class DeviceInterfaceList {
 public:
  DeviceInterfaceList() = default;
  DeviceInterfaceList(const DeviceInterfaceList&) = delete;
  DeviceInterfaceList& operator=(const DeviceInterfaceList&) = delete;
  virtual ~DeviceInterfaceList() = default;

  // SetupDiEnumDeviceInterfaces with no device element and the list's class: the interface at
  // |memberIndex|. False with the error code (kNoMoreItems past the end) when there is none.
  virtual bool Enumerate(std::uint32_t memberIndex, std::uint32_t* flags, std::uint32_t* error) = 0;
  // SetupDiGetDeviceInterfaceDetailW for the interface at |memberIndex|: a first call to learn
  // the size, a buffer of that size, a second call to fill it. False with the error code of the
  // failing call.
  virtual bool ReadDevicePath(std::uint32_t memberIndex, std::string* devicePath, std::uint32_t* error) = 0;
};

class DeviceInterfaces {
 public:
  DeviceInterfaces() = default;
  DeviceInterfaces(const DeviceInterfaces&) = delete;
  DeviceInterfaces& operator=(const DeviceInterfaces&) = delete;
  virtual ~DeviceInterfaces() = default;

  // SetupDiGetClassDevsW(class, no enumerator, no window, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE).
  // Null with the error code when the system gives no list.
  virtual std::unique_ptr<DeviceInterfaceList> OpenPresent(const DeviceClassGuid& interfaceClass,
                                                           std::uint32_t* error) = 0;
};

}  // namespace velmara
