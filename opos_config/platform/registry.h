#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The machine registry (HKEY_LOCAL_MACHINE) as the OPOS store uses it. The calls mirror the
// wide-character registry functions one to one, so that the store means on Linux exactly what
// it means on Windows: results are Win32 error codes, names are UTF-16, data are typed bytes,
// and buffers are the caller's, with the sizes the functions report.
namespace corvale {

using RegStatus = std::uint32_t;

namespace reg {

inline constexpr RegStatus kSuccess = 0;
inline constexpr RegStatus kFileNotFound = 2;
inline constexpr RegStatus kAccessDenied = 5;
inline constexpr RegStatus kInvalidData = 13;
inline constexpr RegStatus kInvalidParameter = 87;
inline constexpr RegStatus kBadPathname = 161;
inline constexpr RegStatus kMoreData = 234;
inline constexpr RegStatus kNoMoreItems = 259;
inline constexpr RegStatus kKeyDeleted = 1018;

// Value types.
inline constexpr std::uint32_t kTypeNone = 0;
inline constexpr std::uint32_t kTypeSz = 1;
inline constexpr std::uint32_t kTypeExpandSz = 2;
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeDword = 4;
inline constexpr std::uint32_t kTypeMultiSz = 7;
inline constexpr std::uint32_t kTypeQword = 11;

// Access rights of a key handle.
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kSetValue = 0x0002;
inline constexpr std::uint32_t kCreateSubKey = 0x0004;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kNotify = 0x0010;
inline constexpr std::uint32_t kCreateLink = 0x0020;
inline constexpr std::uint32_t kDelete = 0x00010000;
inline constexpr std::uint32_t kReadControl = 0x00020000;
inline constexpr std::uint32_t kWriteDac = 0x00040000;
inline constexpr std::uint32_t kWriteOwner = 0x00080000;
inline constexpr std::uint32_t kRead = kReadControl | kQueryValue | kEnumerateSubKeys | kNotify;  // KEY_READ
inline constexpr std::uint32_t kWrite = kReadControl | kSetValue | kCreateSubKey;                 // KEY_WRITE
inline constexpr std::uint32_t kReadWrite = kRead | kWrite;                                       // 0x2001F
inline constexpr std::uint32_t kAllAccess = 0x000F003F;                                           // KEY_ALL_ACCESS

// What creating a key found.
inline constexpr std::uint32_t kCreatedNewKey = 1;
inline constexpr std::uint32_t kOpenedExistingKey = 2;

}  // namespace reg

// RegQueryInfoKeyW's counts; lengths are in characters without the terminator.
struct RegKeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyChars = 0;
  std::uint32_t values = 0;
  std::uint32_t maxValueNameChars = 0;
  std::uint32_t maxValueDataBytes = 0;
};

// An open key. Destroying it closes it.
class RegistryKey {
 public:
  RegistryKey() = default;
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;
  virtual ~RegistryKey() = default;

  // RegQueryValueExW. The empty name is the key's unnamed default value. With |data| null only
  // the type and size are reported; |size| is in bytes, in and out.
  virtual RegStatus QueryValue(const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) = 0;
  // RegSetValueExW: |size| bytes of |data|, stored as given.
  virtual RegStatus SetValue(const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                             std::uint32_t size) = 0;
  // RegEnumValueW. |nameChars| is the capacity of |name| in characters, terminator included, and
  // on success the length of the name without it. |type|, |data| and |dataSize| may be null.
  virtual RegStatus EnumValue(std::uint32_t index, char16_t* name, std::uint32_t* nameChars, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* dataSize) = 0;
  // RegEnumKeyExW, with the same convention for |nameChars|.
  virtual RegStatus EnumKey(std::uint32_t index, char16_t* name, std::uint32_t* nameChars) = 0;
  // RegQueryInfoKeyW.
  virtual RegStatus QueryInfo(RegKeyInfo* info) = 0;
  // RegDeleteValueW.
  virtual RegStatus DeleteValue(const std::u16string& name) = 0;
  // Deletes the subkey |path| of this key, which must have no subkeys of its own (RegDeleteKeyExW
  // where the system has it, else RegDeleteKeyW).
  virtual RegStatus DeleteSubKey(const std::u16string& path) = 0;
};

// HKEY_LOCAL_MACHINE. Paths are relative to it, their parts separated by backslashes.
class Registry {
 public:
  Registry() = default;
  Registry(const Registry&) = delete;
  Registry& operator=(const Registry&) = delete;
  virtual ~Registry() = default;

  // RegOpenKeyExW.
  virtual RegStatus OpenKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key) = 0;
  // RegCreateKeyExW with no class and REG_OPTION_NON_VOLATILE; the keys on the way are created
  // too. |disposition| may be null.
  virtual RegStatus CreateKey(const std::u16string& path, std::uint32_t access, std::unique_ptr<RegistryKey>* key,
                              std::uint32_t* disposition) = 0;
  // Whether the registry takes |a| and |b| for the same key or value name: it compares names
  // without regard to case, one UTF-16 unit against the other, by the system's own case table.
  virtual bool SameName(std::u16string_view a, std::u16string_view b) const = 0;
  // |name| with each unit upper-cased as the registry does when it compares names: the registry
  // takes two names for the same exactly when these are equal.
  virtual std::u16string UpcasedName(std::u16string_view name) const = 0;
};

}  // namespace corvale
