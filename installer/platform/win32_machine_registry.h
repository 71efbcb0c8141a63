#pragma once

#include "machine_registry.h"

namespace velmara {

// HKEY_LOCAL_MACHINE through RegOpenKeyExW and RegQueryValueExW.
class Win32MachineRegistry final : public MachineRegistry {
 public:
  RegStatus OpenKey(const std::string& path, std::uint32_t access,
                    std::unique_ptr<MachineRegistryKey>* key) override;
};

}  // namespace velmara
