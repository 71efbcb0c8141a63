#pragma once

#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/system_info.h"

namespace corvale {

// Results of CreateLDN.
inline constexpr int kLdnCreated = 1;
inline constexpr int kLdnNoPermission = 0;
inline constexpr int kLdnExists = -1;
inline constexpr int kLdnError = -2;

// Results of DeleteLDN.
inline constexpr int kLdnDeleted = 1;
inline constexpr int kLdnClassLocked = 0;
inline constexpr int kLdnNotFound = -1;

// The OPOS logical devices under HKEY_LOCAL_MACHINE. Each operation opens the keys it needs and
// closes them before it returns.
class OposStore {
 public:
  OposStore(Registry& registry, const SystemInfo& system) : registry_(registry), system_(system) {}

  Registry& registry() const { return registry_; }

  // The class key of |deviceClass|; empty on a machine for which OPOS has no registry location.
  std::u16string ClassKeyPath(const std::u16string& deviceClass) const;

  // Creates the keys down to the class key. Always true.
  bool EnsureClassKeys(const std::u16string& deviceClass) const;
  // The aliases whose key carries the made-by-tool marker.
  bool ListLDNs(const std::u16string& deviceClass, std::vector<std::u16string>& names) const;
  // The names of all values of the class key.
  bool ListLDNAliases(const std::u16string& deviceClass, std::vector<std::u16string>& names) const;
  // The names of all subkeys of the class key.
  bool ListLDNKeys(const std::u16string& deviceClass, std::vector<std::u16string>& names) const;
  // What CreateLDN answers before it writes anything: kLdnCreated when nothing stands in the way of
  // a new LDN |newName| of |deviceClass|, else kLdnExists or kLdnError, as CreateLDN would return.
  int CheckNewLDN(const std::u16string& newName, const std::u16string& deviceClass) const;
  // A new LDN key holding a default record, and the alias |newName| for it. The key's name is free
  // as a key and as an alias in both classes. When the creation fails after the key was made and
  // the key cannot be removed again, |keyLeftBehind| receives its name.
  int CreateLDN(const std::u16string& newName, const std::u16string& deviceClass,
                std::u16string* keyLeftBehind = nullptr) const;
  // Removes the alias |ldnName| and the key it names.
  int DeleteLDN(const std::u16string& deviceClass, const std::u16string& ldnName) const;
  // Whether the class key holds a string alias |ldnName|.
  bool HasLDNAlias(const std::u16string& deviceClass, const std::u16string& ldnName) const;

 private:
  std::u16string OposRoot() const;

  Registry& registry_;
  const SystemInfo& system_;
};

}  // namespace corvale
