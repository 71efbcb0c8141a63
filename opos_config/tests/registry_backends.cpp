#include "registry_backends.h"

#include "platform/memory_registry.h"

namespace corvale::testing {

namespace {

class MemoryUnderTest final : public RegistryUnderTest {
 public:
  Registry& registry() override { return registry_; }
  bool RestrictAccess(const std::u16string& path, std::uint32_t allowed) override {
    return registry_.RestrictAccess(path, allowed);
  }
  void RemoveTree(const std::u16string&) override {}  // every test starts from an empty registry
  bool SetAdministrator(bool administrator) override {
    registry_.SetAdministrator(administrator);
    return true;
  }
  bool IsWine() const override { return false; }

 private:
  MemoryRegistry registry_;
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
