#include <windows.h>
#include <sddl.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/win32_handles.h"
#include "platform/win32_registry.h"
#include "registry_backends.h"

namespace corvale::testing {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

bool SetDacl(const std::u16string& path, const std::wstring& sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr)) {
    return false;
  }
  UniqueHKey key;
  bool ok = RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(path), 0, WRITE_DAC, key.Receive()) == ERROR_SUCCESS &&
            RegSetKeySecurity(key.Get(), DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
  LocalFree(sd);
  return ok;
}

class Win32UnderTest final : public RegistryUnderTest {
 public:
  Registry& registry() override { return registry_; }

  bool RestrictAccess(const std::u16string& path, std::uint32_t allowed) override {
    // The owner keeps the right to lift the restriction again.
    std::wostringstream sddl;
    sddl << L"D:P(A;;0x" << std::hex << (allowed | READ_CONTROL | WRITE_DAC) << L";;;WD)";
    if (!SetDacl(path, sddl.str())) return false;
    restricted_.push_back(path);
    return true;
  }

  void RemoveTree(const std::u16string& path) override {
    for (const std::u16string& p : restricted_) SetDacl(p, L"D:(A;;KA;;;WD)");
    restricted_.clear();
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, W(path));
  }

  bool SetAdministrator(bool) override { return false; }

  bool IsWine() const override {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }

 private:
  Win32Registry registry_;
  std::vector<std::u16string> restricted_;
};

}  // namespace

std::unique_ptr<RegistryUnderTest> MakeWin32RegistryUnderTest() { return std::make_unique<Win32UnderTest>(); }

}  // namespace corvale::testing
