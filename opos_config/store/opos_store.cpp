#include "opos_store.h"

#include <memory>
#include <optional>

#include "ldn_record.h"
#include "registry_values.h"

namespace corvale {

namespace {

const std::u16string kKeyStem = LDNRecord().DeviceName;

std::u16string KeyNameFor(int counter) {
  if (counter == 0) return kKeyStem;
  const std::string digits = std::to_string(counter);
  return kKeyStem + u"_" + std::u16string(digits.begin(), digits.end());
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

std::u16string OposStore::OposRoot() const {
  switch (system_.NativeProcessorArchitecture()) {
    case kArchitectureX86:
      return u"SOFTWARE\\OLEforRetail";
    // A 32-bit service object on a 64-bit Windows reads the 32-bit view of the registry.
    case kArchitectureAmd64:
    case kArchitectureIa64:
    case kArchitectureArm64:
      return u"SOFTWARE\\WOW6432Node\\OLEforRetail";
    default:
      return {};
  }
}

std::u16string OposStore::ClassKeyPath(const std::u16string& deviceClass) const {
  const std::u16string root = OposRoot();
  if (root.empty()) return {};
  return root + u"\\ServiceOPOS\\" + (deviceClass == kPrinterClass ? kPrinterClass : kDrawerClass);
}

bool OposStore::EnsureClassKeys(const std::u16string& deviceClass) const {
  std::u16string path = OposRoot();
  if (path.empty()) return true;
  for (const std::u16string& part :
       {std::u16string(), std::u16string(u"\\ServiceOPOS"),
        u"\\" + (deviceClass == kPrinterClass ? kPrinterClass : kDrawerClass)}) {
    path += part;
    std::unique_ptr<RegistryKey> key;
    registry_.CreateKey(path, reg::kReadWrite, &key, nullptr);
  }
  return true;
}

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

int OposStore::CreateLDN(const std::u16string& newName, const std::u16string& deviceClass) const {
  // The registry cannot hold an alias without a name, nor one with a NUL in it.
  if (newName.empty() || newName.find(u'\0') != std::u16string::npos) return kLdnError;
  const std::u16string base = ClassKeyPath(deviceClass);
  if (base.empty()) return kLdnError;

  // The registry itself says which names are taken, as it compares them. A class key that cannot
  // be read has none.
  std::unique_ptr<RegistryKey> classReader;
  registry_.OpenKey(base, reg::kRead, &classReader);
  auto isAlias = [&classReader](const std::u16string& name) { return classReader && HasValue(*classReader, name); };
  if (isAlias(newName)) return kLdnExists;
  // Loading an LDN tries a key of its name first: an alias named like a key of either class
  // would lead there, to another LDN's device.
  if (IsLdnKeyName(newName)) {
    for (const std::u16string* cls : {&kPrinterClass, &kDrawerClass}) {
      if (KeyExists(registry_, ClassKeyPath(*cls) + u"\\" + newName)) return kLdnExists;
    }
  }

  // Neither a key that exists, nor the name of an alias, which the new key would shadow, nor the
  // new alias's own name, which would be taken for a key name in the other class.
  std::u16string candidate;
  for (int counter = 0;; ++counter) {
    candidate = KeyNameFor(counter);
    if (registry_.SameName(candidate, newName) || isAlias(candidate) ||
        KeyExists(registry_, base + u"\\" + candidate)) {
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
    if (registry_.OpenKey(base, reg::kRead, &parent) == reg::kSuccess) parent->DeleteSubKey(candidate);
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

}  // namespace corvale
