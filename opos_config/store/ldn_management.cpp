// Listing, creating and deleting LDNs: apart from the class-key paths, which the printing-test
// program needs alone, so that it does not carry this code.
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "ldn_record.h"
#include "opos_store.h"
#include "registry_values.h"

namespace corvale {

namespace {

const std::u16string kKeyStem = LDNRecord().DeviceName;

std::u16string KeyNameFor(std::uint64_t counter) {
  if (counter == 0) return kKeyStem;
  const std::string digits = std::to_string(counter);
  return kKeyStem + u"_" + std::u16string(digits.begin(), digits.end());
}

// The counter of a key name of the sequence that the registry takes for |name| (0 for the stem
// itself); nothing for any other name. Only letters have a case, and the suffix is "_" and digits.
std::optional<std::uint64_t> CounterOf(const Registry& registry, std::u16string_view name) {
  constexpr std::size_t kMaxDigits = 18;
  const std::size_t stem = kKeyStem.size();
  if (name.size() < stem || !registry.SameName(name.substr(0, stem), kKeyStem)) return std::nullopt;
  if (name.size() == stem) return 0;
  const std::u16string_view digits = name.substr(stem + 1);
  if (name[stem] != u'_' || digits.empty() || digits.size() > kMaxDigits || digits[0] == u'0') return std::nullopt;
  std::uint64_t counter = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
    counter = counter * 10 + static_cast<std::uint64_t>(c - u'0');
  }
  return counter;
}

// The alias |name| of |classKey| as text, or nothing when it is missing or not a string.
std::optional<std::u16string> AliasTarget(RegistryKey& classKey, const std::u16string& name) {
  return ReadString(classKey, name);
}

// Whether |classKey| has a value that the registry takes for |name|, whatever its type.
bool HasValue(RegistryKey& classKey, const std::u16string& name) {
  std::uint32_t size = 0;
  const RegStatus s = classKey.QueryValue(name, nullptr, nullptr, &size);
  return s == reg::kSuccess || s == reg::kMoreData;
}

// Whether a key of that path exists, readable or not.
bool KeyExists(Registry& registry, const std::u16string& path) {
  std::unique_ptr<RegistryKey> key;
  const RegStatus s = registry.OpenKey(path, reg::kRead, &key);
  return s == reg::kSuccess || s == reg::kAccessDenied;
}

}  // namespace

bool OposStore::ListLDNs(const std::u16string& deviceClass, std::vector<std::u16string>& names) const {
  names.clear();
  const std::u16string base = ClassKeyPath(deviceClass);
  if (base.empty()) return false;
  std::unique_ptr<RegistryKey> classKey;
  if (registry_.OpenKey(base, reg::kRead, &classKey) != reg::kSuccess) return false;
  std::vector<std::u16string> aliases;
  ListValueNames(*classKey, &aliases);
  for (std::u16string& alias : aliases) {
    std::optional<std::u16string> target = AliasTarget(*classKey, alias);
    if (!target || !IsLdnKeyName(*target)) continue;
    std::unique_ptr<RegistryKey> ldnKey;
    if (registry_.OpenKey(base + u"\\" + *target, reg::kRead, &ldnKey) != reg::kSuccess) continue;
    std::optional<std::uint32_t> versionSO = ReadDword(*ldnKey, u"VersionSO");
    if (versionSO && CarriesMadeByToolMarker(*versionSO)) names.push_back(std::move(alias));
  }
  return !names.empty();
}

bool OposStore::ListLDNAliases(const std::u16string& deviceClass, std::vector<std::u16string>& names) const {
  names.clear();
  const std::u16string base = ClassKeyPath(deviceClass);
  if (base.empty()) return false;
  std::unique_ptr<RegistryKey> classKey;
  if (registry_.OpenKey(base, reg::kRead, &classKey) != reg::kSuccess) return false;
  ListValueNames(*classKey, &names);
  return !names.empty();
}

bool OposStore::ListLDNKeys(const std::u16string& deviceClass, std::vector<std::u16string>& names) const {
  names.clear();
  const std::u16string base = ClassKeyPath(deviceClass);
  if (base.empty()) return false;
  std::unique_ptr<RegistryKey> classKey;
  if (registry_.OpenKey(base, reg::kRead, &classKey) != reg::kSuccess) return false;
  ListSubkeyNames(*classKey, &names);
  return !names.empty();
}

int OposStore::CheckNewLDN(const std::u16string& newName, const std::u16string& deviceClass) const {
  // The registry cannot hold an alias without a name, nor one with a NUL in it.
  if (newName.empty() || newName.find(u'\0') != std::u16string::npos) return kLdnError;
  const std::u16string base = ClassKeyPath(deviceClass);
  if (base.empty()) return kLdnError;
  const std::u16string otherBase = ClassKeyPath(deviceClass == kPrinterClass ? kDrawerClass : kPrinterClass);

  // The registry itself says which names are taken, as it compares them. A class key that cannot
  // be read has none.
  std::unique_ptr<RegistryKey> classReader;
  registry_.OpenKey(base, reg::kRead, &classReader);
  if (classReader && HasValue(*classReader, newName)) return kLdnExists;
  // Loading an LDN tries a key of its name first: an alias named like a key of either class
  // would lead there, to another LDN's device.
  if (IsLdnKeyName(newName)) {
    for (const std::u16string* path : {&base, &otherBase}) {
      if (KeyExists(registry_, *path + u"\\" + newName)) return kLdnExists;
    }
  }
  return kLdnCreated;
}

int OposStore::CreateLDN(const std::u16string& newName, const std::u16string& deviceClass,
                         std::u16string* keyLeftBehind) const {
  if (keyLeftBehind != nullptr) keyLeftBehind->clear();
  if (const int refused = CheckNewLDN(newName, deviceClass); refused != kLdnCreated) return refused;
  const std::u16string base = ClassKeyPath(deviceClass);
  const std::u16string otherBase = ClassKeyPath(deviceClass == kPrinterClass ? kDrawerClass : kPrinterClass);
  std::unique_ptr<RegistryKey> classReader;
  registry_.OpenKey(base, reg::kRead, &classReader);

  // A key is looked up before an alias of the same name, in either class: the new key's name is
  // neither a key nor an alias of this class or of the other one. The keys of this class come from
  // one listing; aliases named like keys are rare, so each name that is left is asked about. The
  // other class is asked about the few names that this class leaves free, and listed only when
  // those are taken there too, so that New in both classes costs about one listing of each.
  // A counter is marked when it is below the number of names listed so far; one beyond is asked
  // about, like the names the other class was not listed for.
  std::vector<std::uint8_t> taken;
  auto isTaken = [&taken](std::uint64_t counter) {
    return counter < taken.size() && taken[static_cast<std::size_t>(counter)] != 0;
  };
  auto takeKeysOf = [&](RegistryKey& classKey) {
    std::vector<std::u16string> names;
    ListSubkeyNames(classKey, &names);
    taken.resize(taken.size() + names.size() + 1);
    for (const std::u16string& name : names) {
      const std::optional<std::uint64_t> counter = CounterOf(registry_, name);
      if (counter && *counter < taken.size()) taken[static_cast<std::size_t>(*counter)] = 1;
    }
  };
  if (classReader) takeKeysOf(*classReader);
  std::unique_ptr<RegistryKey> otherReader;
  registry_.OpenKey(otherBase, reg::kRead, &otherReader);
  constexpr int kAskedBeforeListing = 8;
  int askedInTheOtherClass = 0;
  bool otherClassListed = false;
  auto takenInTheOtherClass = [&](std::uint64_t counter, const std::u16string& name) {
    if (otherReader && HasValue(*otherReader, name)) return true;
    if (!otherClassListed && otherReader && ++askedInTheOtherClass > kAskedBeforeListing) {
      takeKeysOf(*otherReader);
      otherClassListed = true;
      if (isTaken(counter)) return true;
    }
    if (otherClassListed && counter < taken.size()) return false;
    return KeyExists(registry_, otherBase + u"\\" + name);
  };

  std::u16string candidate;
  for (std::uint64_t counter = 0;; ++counter) {
    if (isTaken(counter)) continue;
    candidate = KeyNameFor(counter);
    // Nor the new alias's own name, which would be taken for a key name in the other class.
    if (registry_.SameName(candidate, newName) || (classReader && HasValue(*classReader, candidate)) ||
        takenInTheOtherClass(counter, candidate)) {
      continue;
    }
    std::unique_ptr<RegistryKey> newKey;
    std::uint32_t disposition = 0;
    if (registry_.CreateKey(base + u"\\" + candidate, reg::kReadWrite, &newKey, &disposition) != reg::kSuccess) {
      return kLdnError;
    }
    // Another program may have made the key since it was looked for; it is theirs.
    if (disposition == reg::kCreatedNewKey) break;
  }
  classReader.reset();
  otherReader.reset();

  const int result = [&] {
    LDNRecord record;
    record.LDNName = candidate;
    // A key without the marker would stay invisible to the list: an alias for it would be a lie.
    if (!record.WriteLDN(*this, candidate, deviceClass)) return kLdnError;
    std::unique_ptr<RegistryKey> classKey;
    if (registry_.OpenKey(base, reg::kReadWrite, &classKey) != reg::kSuccess) return kLdnNoPermission;
    return WriteString(*classKey, newName, candidate) == reg::kSuccess ? kLdnCreated : kLdnError;
  }();
  if (result != kLdnCreated) {
    // A key without an alias nobody can see or delete, yet it takes a name from the next try.
    std::unique_ptr<RegistryKey> parent;
    const bool removed = registry_.OpenKey(base, reg::kRead, &parent) == reg::kSuccess &&
                         parent->DeleteSubKey(candidate) == reg::kSuccess;
    if (!removed && keyLeftBehind != nullptr) *keyLeftBehind = candidate;
  }
  return result;
}

int OposStore::DeleteLDN(const std::u16string& deviceClass, const std::u16string& ldnName) const {
  const std::u16string base = ClassKeyPath(deviceClass);
  if (base.empty()) return kLdnClassLocked;
  std::unique_ptr<RegistryKey> classKey;
  if (registry_.OpenKey(base, reg::kReadWrite, &classKey) != reg::kSuccess) return kLdnClassLocked;
  const std::optional<std::u16string> target = AliasTarget(*classKey, ldnName);
  if (!target || !IsLdnKeyName(*target)) return kLdnNotFound;

  // Only an LDN this tool made goes; another program's stays as it is.
  {
    std::unique_ptr<RegistryKey> ldnKey;
    if (registry_.OpenKey(base + u"\\" + *target, reg::kRead, &ldnKey) != reg::kSuccess) return kLdnNotFound;
    const std::optional<std::uint32_t> versionSO = ReadDword(*ldnKey, u"VersionSO");
    if (!versionSO || !CarriesMadeByToolMarker(*versionSO)) return kLdnNotFound;
  }

  // The key goes first, so that a key that stays keeps its alias and the LDN stays whole. A key
  // that another alias of the class still names stays for that one.
  bool shared = false;
  std::vector<std::u16string> aliases;
  ListValueNames(*classKey, &aliases);
  for (const std::u16string& other : aliases) {
    if (registry_.SameName(other, ldnName)) continue;
    const std::optional<std::u16string> otherTarget = AliasTarget(*classKey, other);
    if (otherTarget && registry_.SameName(*otherTarget, *target)) {
      shared = true;
      break;
    }
  }
  if (!shared && classKey->DeleteSubKey(*target) != reg::kSuccess) return kLdnNotFound;
  return classKey->DeleteValue(ldnName) == reg::kSuccess ? kLdnDeleted : kLdnNotFound;
}

bool OposStore::HasLDNAlias(const std::u16string& deviceClass, const std::u16string& ldnName) const {
  const std::u16string base = ClassKeyPath(deviceClass);
  std::unique_ptr<RegistryKey> classKey;
  if (base.empty() || registry_.OpenKey(base, reg::kRead, &classKey) != reg::kSuccess) return false;
  return AliasTarget(*classKey, ldnName).has_value();
}

}  // namespace corvale
