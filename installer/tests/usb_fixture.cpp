#include "usb_fixture.h"

#include <algorithm>

#include "device_backends.h"
#include "usb/usb_discovery.h"

namespace velmara::testing {

SeededValue SeededValue::Dword(std::uint32_t v) {
  return Raw(reg::kTypeDword, {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)});
}

UsbFixture::UsbFixture() {
  g_skipLinkedCheck = false;
  g_uiLanguage = kChineseUiLanguage;
}

UsbFixture::~UsbFixture() {
  g_skipLinkedCheck = false;
  g_uiLanguage = kChineseUiLanguage;
}

std::string UsbFixture::DevicePath(const std::string& hardware, const std::string& instance) {
  return "\\\\?\\usb#" + hardware + "#" + instance + "#" + GuidText(kUsbPrintInterfaceClass);
}

std::string UsbFixture::Plug(const SeededInterface& seeded, const DeviceClassGuid& interfaceClass) {
  const std::string instance = "p" + std::to_string(++plugged_);
  const std::string path = DevicePath(seeded.hardware, instance);
  interfaces_.Add(interfaceClass, path, seeded.flags);
  output_.Add(path);

  std::string keyName = path;
  std::replace(keyName.begin(), keyName.end(), '\\', '#');
  std::transform(keyName.begin(), keyName.end(), keyName.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; });
  const std::string key = std::string(kUsbPrintInterfacesKey) + keyName + "\\#\\";
  const auto seed = [&](const std::string& subkey, const std::string& name, const SeededValue& value) {
    if (value.kind == SeededValue::Kind::kNoKey) return;
    memoryRegistry_.CreateKey(key + subkey);
    if (value.kind == SeededValue::Kind::kValue) memoryRegistry_.SetValue(key + subkey, name, value.type, value.data);
  };
  seed("Control", "Linked", seeded.linked);
  seed("Device Parameters", "Port Number", seeded.port);
  return path;
}

}  // namespace velmara::testing
