#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/machine_registry.h"

namespace velmara::testing {

// A machine registry for a test, the in-memory one or the real one (under Wine), with the means
// to write what Velmara itself only reads.
class MachineRegistryUnderTest {
 public:
  virtual ~MachineRegistryUnderTest() = default;
  virtual MachineRegistry& registry() = 0;
  // Creates |path| (and the keys on the way) and sets the value.
  virtual void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                        const std::vector<std::uint8_t>& data) = 0;
  virtual void CreateKey(const std::string& path) = 0;
  // Removes |path| with everything below it.
  virtual void RemoveTree(const std::string& path) = 0;
  virtual bool IsWine() const = 0;
};

struct MachineRegistryBackend {
  std::string name;
  std::function<std::unique_ptr<MachineRegistryUnderTest>()> make;
};

inline std::ostream& operator<<(std::ostream& os, const MachineRegistryBackend& backend) {
  return os << backend.name;
}

// The in-memory registry everywhere, and the real one where the tests run on Windows or Wine.
std::vector<MachineRegistryBackend> MachineRegistryBackends();

std::vector<std::uint8_t> DwordBytes(std::uint32_t value);
// UTF-16 bytes of |utf8| with the terminating zero, as REG_SZ stores them.
std::vector<std::uint8_t> SzBytes(const std::string& utf8);

// Whether the tests run under Wine (always false on Linux).
bool RunningUnderWine();

}  // namespace velmara::testing
