#include "registry_backends.h"

#include <vector>

#include "support/memory_registry.h"
#include "store/registry_values.h"

namespace corvale::testing {

namespace {

class MemoryUnderTest final : public RegistryUnderTest {
 public:
  Registry& registry() override { return registry_; }
  bool RestrictAccess(const std::u16string& path, std::uint32_t allowed) override {
    if (!registry_.RestrictAccess(path, allowed)) return false;
    restricted_.push_back(path);
    return true;
  }
  void RemoveTree(const std::u16string& path) override {
    registry_.SetAdministrator(true);
    for (const std::u16string& p : restricted_) registry_.RestrictAccess(p, reg::kAllAccess);
    restricted_.clear();
    RemoveKeyAndBelow(path);
  }
  bool SetAdministrator(bool administrator) override {
    registry_.SetAdministrator(administrator);
    return true;
  }
  bool IsWine() const override { return false; }

 private:
  void RemoveKeyAndBelow(const std::u16string& path) {
    std::unique_ptr<RegistryKey> key;
    if (registry_.OpenKey(path, reg::kRead, &key) != reg::kSuccess) return;
    std::vector<std::u16string> subkeys;
    ListSubkeyNames(*key, &subkeys);
    for (const std::u16string& subkey : subkeys) RemoveKeyAndBelow(path + u"\\" + subkey);
    const std::size_t slash = path.rfind(u'\\');
    std::unique_ptr<RegistryKey> parent;
    if (registry_.OpenKey(slash == std::u16string::npos ? u"" : path.substr(0, slash), reg::kAllAccess, &parent) ==
        reg::kSuccess) {
      parent->DeleteSubKey(slash == std::u16string::npos ? path : path.substr(slash + 1));
    }
  }

  MemoryRegistry registry_;
  std::vector<std::u16string> restricted_;
};

}  // namespace

std::unique_ptr<RegistryUnderTest> MakeMemoryRegistryUnderTest() { return std::make_unique<MemoryUnderTest>(); }

std::vector<RegistryBackend> RegistryBackends() {
  std::vector<RegistryBackend> backends{{"Memory", MakeMemoryRegistryUnderTest}};
#ifdef _WIN32
  backends.push_back({"Win32", MakeWin32RegistryUnderTest});
#endif
  return backends;
}

}  // namespace corvale::testing
