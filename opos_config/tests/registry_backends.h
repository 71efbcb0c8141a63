#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace corvale::testing {

// A registry for a test: the in-memory one, or the real one (under Wine), with the means to set
// up what the registry functions themselves cannot.
class RegistryUnderTest {
 public:
  virtual ~RegistryUnderTest() = default;
  virtual Registry& registry() = 0;
  // Gives the existing key |path| an access list that grants everyone only |allowed|.
  virtual bool RestrictAccess(const std::u16string& path, std::uint32_t allowed) = 0;
  // Removes the key |path| with everything below it, restrictions included.
  virtual void RemoveTree(const std::u16string& path) = 0;
  // The in-memory registry can also play a process without administrator rights.
  virtual bool SetAdministrator(bool administrator) = 0;
  // Where Wine is more lenient than Windows, the real registry answers as Wine does.
  virtual bool IsWine() const = 0;
};

struct RegistryBackend {
  std::string name;
  std::function<std::unique_ptr<RegistryUnderTest>()> make;
};

inline std::ostream& operator<<(std::ostream& os, const RegistryBackend& backend) { return os << backend.name; }

// The in-memory registry everywhere, and the real one where the tests run on Windows or Wine.
std::vector<RegistryBackend> RegistryBackends();

std::unique_ptr<RegistryUnderTest> MakeMemoryRegistryUnderTest();
#ifdef _WIN32
std::unique_ptr<RegistryUnderTest> MakeWin32RegistryUnderTest();
#endif

}  // namespace corvale::testing
