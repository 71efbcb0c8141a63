#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "usb_services.h"

namespace velmara {

// The interfaces of the USB printing class keep their registry keys here, under
// HKEY_LOCAL_MACHINE.
inline constexpr std::string_view kUsbPrintInterfacesKey =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{28d78fad-5a12-11d1-ae5b-0000f803a8c2}\\";

// One connected printer of a supported vendor that is on line, with its spooler port number.
struct UsbPrinter {
  std::string devicePath;
  std::uint32_t portNumber = 0;
};

enum class UsbWalkEnd {
  kCompleted,  // the list was exhausted or the bound of 255 interfaces reached
  kStopped,    // the caller asked to stop
  kFailed,     // the list could not be opened, or an interface's detail could not be read
};

// Gets each qualifying printer in the order of the device-interface list; returns false to stop.
using UsbPrinterVisitor = std::function<bool(const UsbPrinter&)>;

// Walks the present interfaces of |interfaceClass|: only interfaces whose flags are exactly
// SPINT_ACTIVE, of a supported vendor, linked (unless g_skipLinkedCheck is set) and with a
// "Port Number" qualify. The registry reads always look under the USB printing class.
UsbWalkEnd EnumerateUsbPrinters(const DeviceClassGuid& interfaceClass, const UsbServices& services,
                                const UsbPrinterVisitor& visit);

// The vendor filter: the eight characters that follow the device path's first eight ("\\?\usb#")
// are one of the supported vendor ids, in any letter case. A shorter path is no supported vendor.
bool IsSupportedUsbVendor(std::string_view devicePath);

// A value read from an interface's registry key, into a buffer of 261 bytes (MAX_PATH + 1), the
// size these values have always been read with; the bytes the value does not fill stay zero.
struct DeviceInterfaceValue {
  static constexpr std::uint32_t kCapacity = 261;
  std::array<std::uint8_t, kCapacity> data{};
  std::uint32_t type = 0;
  std::uint32_t size = 0;
};

// Reads |valueName| under the subkey |subkey| ("Control", "Device Parameters") of the interface's
// key, whose name is the device path with every backslash turned into "#".
bool ReadDeviceInterfaceValue(const UsbServices& services, std::string_view devicePath, std::string_view subkey,
                              std::string_view valueName, DeviceInterfaceValue* value);

// The spooler's name of a USB port: USB and the number with at least three digits (USB001,
// USB012, USB1000).
std::string UsbPortName(std::uint32_t portNumber);

// The port name of the first qualifying USB printer; false when there is none.
bool FindUsbPrinterPort(const UsbServices& services, std::string* portName);

}  // namespace velmara
