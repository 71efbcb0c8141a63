#include "machine_registry_backends.h"

#include <cstring>

#include "support/memory_machine_registry.h"
#include "platform/text.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32_machine_registry.h"
#include "platform/win32_text.h"
#include "platform/win32_unique_handles.h"
#endif

namespace velmara::testing {

std::vector<std::uint8_t> DwordBytes(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

std::vector<std::uint8_t> SzBytes(const std::string& utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  std::vector<std::uint8_t> bytes((text.size() + 1) * sizeof(char16_t), 0);
  std::memcpy(bytes.data(), text.data(), text.size() * sizeof(char16_t));
  return bytes;
}

bool RunningUnderWine() {
#ifdef _WIN32
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
  return false;
#endif
}

namespace {

class MemoryUnderTest final : public MachineRegistryUnderTest {
 public:
  MachineRegistry& registry() override { return registry_; }
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) override {
    registry_.SetValue(path, name, type, data);
  }
  void CreateKey(const std::string& path) override { registry_.CreateKey(path); }
  void RemoveTree(const std::string& path) override { registry_.DeleteTree(path); }
  bool IsWine() const override { return false; }

 private:
  MemoryMachineRegistry registry_;
};

#ifdef _WIN32
class Win32UnderTest final : public MachineRegistryUnderTest {
 public:
  MachineRegistry& registry() override { return registry_; }
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data) override {
    UniqueHKey key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                    nullptr, key.Receive(), nullptr);
    RegSetValueExW(key.Get(), Wide(name).c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
  }
  void CreateKey(const std::string& path) override {
    UniqueHKey key;
    RegCreateKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ, nullptr,
                    key.Receive(), nullptr);
  }
  void RemoveTree(const std::string& path) override { RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(path).c_str()); }
  bool IsWine() const override { return RunningUnderWine(); }

 private:
  Win32MachineRegistry registry_;
};
#endif

}  // namespace

std::vector<MachineRegistryBackend> MachineRegistryBackends() {
  std::vector<MachineRegistryBackend> backends{
      {"Memory", [] { return std::unique_ptr<MachineRegistryUnderTest>(std::make_unique<MemoryUnderTest>()); }}};
#ifdef _WIN32
  backends.push_back(
      {"Win32", [] { return std::unique_ptr<MachineRegistryUnderTest>(std::make_unique<Win32UnderTest>()); }});
#endif
  return backends;
}

}  // namespace velmara::testing
