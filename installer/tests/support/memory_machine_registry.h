#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/machine_registry.h"

namespace velmara {

// An in-memory HKEY_LOCAL_MACHINE that answers reads as Windows does: key and value names
// compared without regard to letter case and kept as given, ERROR_MORE_DATA with the size needed,
// typed bytes returned exactly as stored (no terminator added), handles limited to the rights
// they were opened with, and a handle whose key was deleted answering ERROR_KEY_DELETED.
// What the program never does itself (creating keys, writing values) the tests do through the
// seeding calls.
class MemoryMachineRegistry final : public MachineRegistry {
 public:
  MemoryMachineRegistry();
  ~MemoryMachineRegistry() override;

  RegStatus OpenKey(const std::string& path, std::uint32_t access,
                    std::unique_ptr<MachineRegistryKey>* key) override;

  // Seeding. Keys on the way are created as needed.
  void CreateKey(const std::string& path);
  void SetValue(const std::string& path, const std::string& name, std::uint32_t type,
                const std::vector<std::uint8_t>& data);
  void SetDword(const std::string& path, const std::string& name, std::uint32_t value);
  // Removes |path| and everything below it; false when there was no such key.
  bool DeleteTree(const std::string& path);

  struct Node;

 private:
  std::shared_ptr<Node> root_;
};

}  // namespace velmara
