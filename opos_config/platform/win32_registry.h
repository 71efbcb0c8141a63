#pragma once

#include "registry.h"
#include "win32_system_procedure.h"

namespace corvale {

// HKEY_LOCAL_MACHINE through the wide-character registry functions. The functions that not every
// Windows has are looked up once, with |lookup|; a test passes its own to play an older Windows.
class Win32Registry final : public Registry {
 public:
  explicit Win32Registry(SystemProcedureLookup lookup = LookUpSystemProcedure);

  RegStatus OpenKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key) override;
  RegStatus CreateKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key,
                      std::uint32_t* disposition) override;
  bool SameName(std::u16string_view a, std::u16string_view b) const override;
  std::u16string UpcasedName(std::u16string_view name) const override;

 private:
  SystemProcedure deleteKeyEx_;
  SystemProcedure upcase_;
};

}  // namespace corvale
