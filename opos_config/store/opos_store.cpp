#include "opos_store.h"

#include <memory>
#include <optional>
#include <unordered_set>

#include "ldn_record.h"
#include "platform/registry_names.h"
#include "registry_values.h"

namespace corvale {

namespace {

const std::u16string kKeyStem = LDNRecord().DeviceName;

// Key names are compared as the registry compares them.
std::unordered_set<std::u16string> FoldedSet(const std::vector<std::u16string>& names) {
  std::unordered_set<std::u16string> set;
  set.reserve(names.size());
  for (const std::u16string& name : names) set.insert(FoldRegistryName(name));
  return set;
}

std::u16string KeyNameFor(int counter) {
  if (counter == 0) return kKeyStem;
  const std::string digits = std::to_string(counter);
  return kKeyStem + u"_" + std::u16string(digits.begin(), digits.end());
}

// The alias |name| of |classKey| as text, or nothing when it is missing or not a string.
std::optional<std::u16string> AliasTarget(RegistryKey& classKey, const std::u16string& name) {
  return ReadString(classKey, name);
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
    if (!target) continue;
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

  std::vector<std::u16string> aliases;
  ListLDNAliases(deviceClass, aliases);
  for (const std::u16string& alias : aliases) {
    if (SameRegistryName(alias, newName)) return kLdnExists;
  }

  std::vector<std::u16string> keys;
  ListLDNKeys(deviceClass, keys);
  std::unordered_set<std::u16string> taken = FoldedSet(keys);

  std::u16string candidate;
  for (int counter = 0;; ++counter) {
    candidate = KeyNameFor(counter);
    if (taken.count(FoldRegistryName(candidate)) != 0) continue;
    std::unique_ptr<RegistryKey> newKey;
    std::uint32_t disposition = 0;
    if (registry_.CreateKey(base + u"\\" + candidate, reg::kReadWrite, &newKey, &disposition) != reg::kSuccess) {
      return kLdnError;
    }
    // Another program may have made the key since the listing; it is theirs.
    if (disposition == reg::kCreatedNewKey) break;
  }

  LDNRecord record;
  record.LDNName = candidate;
  // A key without the marker would stay invisible to the list: an alias for it would be a lie.
  if (!record.WriteLDN(*this, candidate, deviceClass)) return kLdnError;

  std::unique_ptr<RegistryKey> classKey;
  if (registry_.OpenKey(base, reg::kReadWrite, &classKey) != reg::kSuccess) return kLdnNoPermission;
  return WriteString(*classKey, newName, candidate) == reg::kSuccess ? kLdnCreated : kLdnError;
}

int OposStore::DeleteLDN(const std::u16string& deviceClass, const std::u16string& ldnName) const {
  const std::u16string base = ClassKeyPath(deviceClass);
  if (base.empty()) return kLdnClassLocked;
  std::unique_ptr<RegistryKey> classKey;
  if (registry_.OpenKey(base, reg::kReadWrite, &classKey) != reg::kSuccess) return kLdnClassLocked;
  std::optional<std::u16string> target = AliasTarget(*classKey, ldnName);
  if (!target) return kLdnNotFound;
  if (classKey->DeleteValue(ldnName) != reg::kSuccess) return kLdnNotFound;

  // Only a direct subkey that no other LDN of the class still uses goes with its alias.
  if (target->empty() || target->find(u'\\') != std::u16string::npos) return kLdnDeleted;
  std::vector<std::u16string> others;
  ListValueNames(*classKey, &others);
  for (const std::u16string& other : others) {
    std::optional<std::u16string> otherTarget = AliasTarget(*classKey, other);
    if (otherTarget && SameRegistryName(*otherTarget, *target)) return kLdnDeleted;
  }
  classKey->DeleteSubKey(*target);
  return kLdnDeleted;
}

}  // namespace corvale
