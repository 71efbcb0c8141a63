#pragma once

#include "registry.h"

namespace corvale {

// HKEY_LOCAL_MACHINE through the wide-character registry functions.
class Win32Registry final : public Registry {
 public:
  RegStatus OpenKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key) override;
  RegStatus CreateKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key,
                      std::uint32_t* disposition) override;
  bool SameName(std::u16string_view a, std::u16string_view b) const override;
};

}  // namespace corvale
