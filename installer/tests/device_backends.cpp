#include "device_backends.h"

#include <algorithm>
#include <cstdio>

#include "machine_registry_backends.h"
#include "support/memory_device_interfaces.h"
#include "support/memory_device_output.h"
#include "support/memory_machine_registry.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32_device_interfaces.h"
#include "platform/win32_device_output.h"
#include "platform/win32_machine_registry.h"
#include "platform/win32_text.h"
#include "platform/win32_unique_handles.h"
#endif

namespace velmara::testing {

std::string GuidText(const DeviceClassGuid& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08x-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}", g.data1, g.data2, g.data3,
                g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return text;
}

namespace {

const std::string kDeviceClasses = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\";
const std::string kUsbEnum = "SYSTEM\\CurrentControlSet\\Enum\\USB\\";
// The setup class of USB devices, which the device's Enum key names.
const std::string kUsbSetupClass = "{36fc9e60-c465-11cf-8056-444553540000}";

std::string AsciiLower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; });
  return text;
}

struct Registration {
  std::string interfaceKey;  // under HKLM
  std::string enumKey;
  std::string devicePath;    // as the list gives it
};

Registration Describe(const DeviceClassGuid& interfaceClass, const std::string& hardwareId,
                      const std::string& instance) {
  const std::string guid = GuidText(interfaceClass);
  const std::string symbolicLink = "\\\\?\\USB#" + hardwareId + "#" + instance + "#" + guid;
  std::string keyName = symbolicLink;
  std::replace(keyName.begin(), keyName.end(), '\\', '#');
  return {kDeviceClasses + guid + "\\" + keyName, kUsbEnum + hardwareId + "\\" + instance, AsciiLower(symbolicLink)};
}

void WriteKeys(MachineRegistryUnderTest& writer, const Registration& r, const std::string& hardwareId,
               const std::string& instance, bool linked, std::optional<std::uint32_t> portNumber) {
  writer.SetValue(r.interfaceKey, "DeviceInstance", reg::kTypeSz, SzBytes("USB\\" + hardwareId + "\\" + instance));
  writer.SetValue(r.interfaceKey + "\\#", "SymbolicLink", reg::kTypeSz,
                  SzBytes(r.interfaceKey.substr(r.interfaceKey.rfind('\\') + 1).replace(0, 4, "\\\\?\\")));
  writer.SetValue(r.interfaceKey + "\\#\\Control", "Linked", reg::kTypeDword, DwordBytes(linked ? 1 : 0));
  if (portNumber) {
    writer.SetValue(r.interfaceKey + "\\#\\Device Parameters", "Port Number", reg::kTypeDword,
                    DwordBytes(*portNumber));
  }
  writer.SetValue(r.enumKey, "ClassGUID", reg::kTypeSz, SzBytes(kUsbSetupClass));
}

class MemoryUsbSystem final : public UsbSystemUnderTest {
 public:
  MemoryUsbSystem() : registryUnderTest_(MachineRegistryBackends().front().make()) {}

  DeviceInterfaces& interfaces() override { return interfaces_; }
  MachineRegistry& registry() override { return registryUnderTest_->registry(); }

  std::string Register(const DeviceClassGuid& interfaceClass, const std::string& hardwareId,
                       const std::string& instance, bool linked, std::optional<std::uint32_t> portNumber) override {
    const Registration r = Describe(interfaceClass, hardwareId, instance);
    WriteKeys(*registryUnderTest_, r, hardwareId, instance, linked, portNumber);
    // A disabled interface stays in the list but is not active.
    interfaces_.Add(interfaceClass, r.devicePath, linked ? kInterfaceActive : 0);
    return r.devicePath;
  }
  void RemoveRegistered() override {}
  bool CanRegister() const override { return true; }
  bool IsWine() const override { return false; }

 private:
  MemoryDeviceInterfaces interfaces_;
  std::unique_ptr<MachineRegistryUnderTest> registryUnderTest_;
};

#ifdef _WIN32
class Win32UsbSystem final : public UsbSystemUnderTest {
 public:
  Win32UsbSystem() : registryUnderTest_(MachineRegistryBackends().back().make()) {}
  ~Win32UsbSystem() override { RemoveRegistered(); }

  DeviceInterfaces& interfaces() override { return interfaces_; }
  MachineRegistry& registry() override { return registryUnderTest_->registry(); }

  std::string Register(const DeviceClassGuid& interfaceClass, const std::string& hardwareId,
                       const std::string& instance, bool linked, std::optional<std::uint32_t> portNumber) override {
    const Registration r = Describe(interfaceClass, hardwareId, instance);
    registered_.push_back(r);
    WriteKeys(*registryUnderTest_, r, hardwareId, instance, linked, portNumber);
    return r.devicePath;
  }

  void RemoveRegistered() override {
    for (const Registration& r : registered_) {
      registryUnderTest_->RemoveTree(r.interfaceKey);
      registryUnderTest_->RemoveTree(r.enumKey);
      // The keys above them go too once they are empty; RegDeleteKeyW leaves a key with subkeys.
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, Wide(r.enumKey.substr(0, r.enumKey.rfind('\\'))).c_str());
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, Wide(r.interfaceKey.substr(0, r.interfaceKey.rfind('\\'))).c_str());
    }
    registered_.clear();
  }
  bool CanRegister() const override { return RunningUnderWine(); }
  bool IsWine() const override { return RunningUnderWine(); }

 private:
  Win32DeviceInterfaces interfaces_;
  std::unique_ptr<MachineRegistryUnderTest> registryUnderTest_;
  std::vector<Registration> registered_;
};
#endif

class MemoryOutputUnderTest final : public DeviceOutputUnderTest {
 public:
  DeviceOutput& output() override { return output_; }
  std::string CreateDevice(const std::string& name) override {
    const std::string path = "\\\\?\\" + name;
    output_.Add(path);
    return path;
  }
  std::vector<std::uint8_t> Received(const std::string& path) override {
    std::vector<std::uint8_t> all;
    if (const MemoryDeviceOutput::Device* device = output_.Find(path)) {
      for (const std::vector<std::uint8_t>& write : device->writes) all.insert(all.end(), write.begin(), write.end());
    }
    return all;
  }

 private:
  MemoryDeviceOutput output_;
};

#ifdef _WIN32
// Files in a folder of the test's own stand in for devices: CreateFileW and WriteFile treat both
// alike.
class Win32OutputUnderTest final : public DeviceOutputUnderTest {
 public:
  Win32OutputUnderTest() {
    wchar_t temp[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
    folder_ = Narrow(std::wstring(temp, length)) + "velmara_device_output_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryW(Wide(folder_).c_str(), nullptr);
  }
  ~Win32OutputUnderTest() override {
    for (const std::string& file : files_) DeleteFileW(Wide(file).c_str());
    RemoveDirectoryW(Wide(folder_).c_str());
  }

  DeviceOutput& output() override { return output_; }
  std::string CreateDevice(const std::string& name) override {
    const std::string path = folder_ + "\\" + name;
    UniqueKernelHandle file(
        CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    files_.push_back(path);
    return path;
  }
  std::vector<std::uint8_t> Received(const std::string& path) override {
    UniqueKernelHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<std::uint8_t> all;
    if (!file.Valid()) return all;
    std::uint8_t chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr) && read > 0) {
      all.insert(all.end(), chunk, chunk + read);
    }
    return all;
  }

 private:
  Win32DeviceOutput output_;
  std::string folder_;
  std::vector<std::string> files_;
};
#endif

}  // namespace

std::unique_ptr<UsbSystemUnderTest> MakeMemoryUsbSystem() { return std::make_unique<MemoryUsbSystem>(); }
#ifdef _WIN32
std::unique_ptr<UsbSystemUnderTest> MakeWin32UsbSystem() { return std::make_unique<Win32UsbSystem>(); }
#endif

std::vector<UsbSystemBackend> UsbSystemBackends() {
  std::vector<UsbSystemBackend> backends{{"Memory", MakeMemoryUsbSystem}};
#ifdef _WIN32
  backends.push_back({"Win32", MakeWin32UsbSystem});
#endif
  return backends;
}

std::vector<DeviceOutputBackend> DeviceOutputBackends() {
  std::vector<DeviceOutputBackend> backends{
      {"Memory", [] { return std::unique_ptr<DeviceOutputUnderTest>(std::make_unique<MemoryOutputUnderTest>()); }}};
#ifdef _WIN32
  backends.push_back(
      {"Win32", [] { return std::unique_ptr<DeviceOutputUnderTest>(std::make_unique<Win32OutputUnderTest>()); }});
#endif
  return backends;
}

}  // namespace velmara::testing
