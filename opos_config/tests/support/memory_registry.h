#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/registry.h"

namespace corvale {

// An in-memory HKEY_LOCAL_MACHINE that answers as Windows does: names compared without regard
// to case and kept as given, values enumerated in the order they were first set, subkeys in the
// order of their upper-cased names, ERROR_MORE_DATA with the needed size, handles limited to the
// rights they were opened with, and keys with subkeys that cannot be deleted.
class MemoryRegistry final : public Registry {
 public:
  MemoryRegistry();
  ~MemoryRegistry() override;

  RegStatus OpenKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key) override;
  RegStatus CreateKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key,
                      std::uint32_t* disposition) override;
  // By the case table of registry_names.h.
  bool SameName(std::u16string_view a, std::u16string_view b) const override;
  std::u16string UpcasedName(std::u16string_view name) const override;

  // A process without administrator rights: every key may be read, none written, created or
  // deleted.
  void SetAdministrator(bool administrator);
  // An access list on the existing key |path| that grants everyone |allowed| and nothing else.
  // Keys created under it later do not inherit it. False when the key does not exist.
  bool RestrictAccess(const std::u16string& path, std::uint32_t allowed);

  struct Node;
  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace corvale
