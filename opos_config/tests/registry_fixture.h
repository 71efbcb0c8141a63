#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"
#include "registry_backends.h"
#include "store/opos_store.h"

namespace corvale::testing {

std::vector<std::uint8_t> SzBytes(const std::u16string& text);
std::vector<std::uint8_t> DwordBytes(std::uint32_t value);
std::string Narrow(const std::u16string& text);
std::u16string Utf16(const std::string& ascii);

// Seeds and inspects a registry the way another program (or an administrator) would.
class RegistrySeed {
 public:
  explicit RegistrySeed(Registry& registry) : registry_(registry) {}

  void Key(const std::u16string& path);
  void Raw(const std::u16string& path, const std::u16string& name, std::uint32_t type,
           const std::vector<std::uint8_t>& data);
  void Sz(const std::u16string& path, const std::u16string& name, const std::u16string& text) {
    Raw(path, name, 1, SzBytes(text));
  }
  void Dword(const std::u16string& path, const std::u16string& name, std::uint32_t value) {
    Raw(path, name, 4, DwordBytes(value));
  }

  bool Exists(const std::u16string& path);
  // Type and data of a value; type 0xFFFFFFFF when it is missing.
  std::pair<std::uint32_t, std::vector<std::uint8_t>> Value(const std::u16string& path, const std::u16string& name);
  std::u16string String(const std::u16string& path, const std::u16string& name);
  std::uint32_t Number(const std::u16string& path, const std::u16string& name);
  std::vector<std::u16string> ValueNames(const std::u16string& path);
  std::vector<std::u16string> SubkeyNames(const std::u16string& path);
  // Everything under |path| as text, independent of the order the registry lists it in.
  std::string Snapshot(const std::u16string& path);

 private:
  RegStatus Create(const std::u16string& path, std::unique_ptr<RegistryKey>* key);
  Registry& registry_;
};

// Forwards to another registry, with a chance to refuse a value or to act before a key is created.
class InterceptingRegistry final : public Registry {
 public:
  explicit InterceptingRegistry(Registry& inner) : inner_(inner) {}

  RegStatus OpenKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key) override;
  RegStatus CreateKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key,
                      std::uint32_t* disposition) override;
  bool SameName(std::u16string_view a, std::u16string_view b) const override { return inner_.SameName(a, b); }
  std::u16string UpcasedName(std::u16string_view name) const override { return inner_.UpcasedName(name); }

  // Answers SetValue of the named value with this status instead of writing it.
  std::function<RegStatus(const std::u16string& name)> refuseValue;
  // Runs before each CreateKey with its path.
  std::function<void(const std::u16string& path)> beforeCreate;
  // Runs before each EnumValue and EnumKey with its index, as another program could act meanwhile.
  std::function<void(std::uint32_t index)> beforeEnumerate;
  // EnumValue and EnumKey calls so far. Past |enumerateLimit| they answer ERROR_NO_MORE_ITEMS
  // themselves, so that a listing that would never end shows up as too many calls.
  std::uint32_t enumerateCalls = 0;
  std::uint32_t enumerateLimit = 100000;

 private:
  std::unique_ptr<RegistryKey> Wrap(std::unique_ptr<RegistryKey> key);
  Registry& inner_;
};

// Each LDN of each class by its alias, with the values of the key that the alias names, as text.
// The key's own name, which New chooses, counts only through the LDNName value that names it.
std::string LdnsView(RegistrySeed& seed, const OposStore& store);

}  // namespace corvale::testing
