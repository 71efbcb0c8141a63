#include "usb_discovery.h"

#include <memory>

#include "platform/text.h"
#include "usb_globals.h"

namespace velmara {

namespace {

// The vendors whose receipt printers the installer supports, as a device path writes them.
constexpr std::u16string_view kSupportedVendors[] = {u"vid_067b", u"vid_0416", u"vid_1cbe",
                                                     u"vid_0483", u"vid_0471", u"vid_1FC9"};

// "\\?\usb#" comes before the vendor id in a device path of the USB printing class.
constexpr std::size_t kVendorOffset = 8;
constexpr std::size_t kVendorLength = 8;

// Most interfaces one walk looks at.
constexpr std::uint32_t kMaxInterfaces = 255;

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c; }

bool SameIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::uint32_t LittleEndianDword(const DeviceInterfaceValue& value) {
  return static_cast<std::uint32_t>(value.data[0]) | static_cast<std::uint32_t>(value.data[1]) << 8 |
         static_cast<std::uint32_t>(value.data[2]) << 16 | static_cast<std::uint32_t>(value.data[3]) << 24;
}

}  // namespace

bool IsSupportedUsbVendor(std::string_view devicePath) {
  // Counted in UTF-16 characters, as the wide functions give the path.
  const std::u16string path = Utf8ToUtf16(devicePath);
  if (path.size() < kVendorOffset + kVendorLength) return false;
  const std::u16string_view vendor = std::u16string_view(path).substr(kVendorOffset, kVendorLength);
  for (std::u16string_view supported : kSupportedVendors) {
    if (SameIgnoringAsciiCase(vendor, supported)) return true;
  }
  return false;
}

bool ReadDeviceInterfaceValue(const UsbServices& services, std::string_view devicePath, std::string_view subkey,
                              std::string_view valueName, DeviceInterfaceValue* value) {
  // A backslash never occurs inside a multi-byte UTF-8 sequence, so replacing bytes is safe.
  std::string keyName(devicePath);
  for (char& c : keyName) {
    if (c == '\\') c = '#';
  }
  std::string path(kUsbPrintInterfacesKey);
  path += keyName;
  path += "\\#\\";
  path += subkey;

  std::unique_ptr<MachineRegistryKey> key;
  if (services.machineRegistry.OpenKey(path, reg::kRead, &key) != reg::kSuccess) {
    services.debugOutput->Write("打开键失败");
    return false;
  }
  std::uint32_t type = 0;
  std::uint32_t size = DeviceInterfaceValue::kCapacity;
  if (key->QueryValue(std::string(valueName), &type, value->data.data(), &size) != reg::kSuccess) {
    services.debugOutput->Write("读取键失败");
    return false;
  }
  value->type = type;
  value->size = size;
  return true;
}

std::string UsbPortName(std::uint32_t portNumber) {
  std::string digits = std::to_string(portNumber);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  std::string name = "USB";
  return name.append(digits);
}

UsbWalkEnd EnumerateUsbPrinters(const DeviceClassGuid& interfaceClass, const UsbServices& services,
                                const UsbPrinterVisitor& visit) {
  std::uint32_t error = 0;
  const std::unique_ptr<DeviceInterfaceList> list = services.deviceInterfaces.OpenPresent(interfaceClass, &error);
  if (!list) return UsbWalkEnd::kFailed;

  for (std::uint32_t index = 0; index < kMaxInterfaces; ++index) {
    std::uint32_t flags = 0;
    if (!list->Enumerate(index, &flags, &error)) return UsbWalkEnd::kCompleted;
    if (flags != kInterfaceActive) continue;

    UsbPrinter printer;
    if (!list->ReadDevicePath(index, &printer.devicePath, &error)) return UsbWalkEnd::kFailed;
    if (!IsSupportedUsbVendor(printer.devicePath)) continue;

    DeviceInterfaceValue value;
    if (!g_skipLinkedCheck) {
      if (!ReadDeviceInterfaceValue(services, printer.devicePath, "Control", "Linked", &value)) {
        services.debugOutput->Write("read regkey failed");
        continue;
      }
      if (value.data[0] == 0) {
        services.debugOutput->Write("print is off-line");
        continue;
      }
    }
    // Anything but a four-byte REG_DWORD would give a port number made of whatever bytes follow.
    if (!ReadDeviceInterfaceValue(services, printer.devicePath, "Device Parameters", "Port Number", &value) ||
        value.type != reg::kTypeDword || value.size != sizeof(std::uint32_t)) {
      services.debugOutput->Write("read regkey failed");
      continue;
    }
    printer.portNumber = LittleEndianDword(value);
    if (!visit(printer)) return UsbWalkEnd::kStopped;
  }
  return UsbWalkEnd::kCompleted;
}

bool FindUsbPrinterPort(const UsbServices& services, std::string* portName) {
  bool found = false;
  EnumerateUsbPrinters(kUsbPrintInterfaceClass, services, [&](const UsbPrinter& printer) {
    *portName = UsbPortName(printer.portNumber);
    found = true;
    return false;
  });
  return found;
}

}  // namespace velmara
