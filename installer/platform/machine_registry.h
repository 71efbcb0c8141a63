#pragma once

#include <cstdint>
#include <memory>
#include <string>

// HKEY_LOCAL_MACHINE as Velmara reads it. The calls mirror the wide registry functions one to one,
// so that a read means on Linux exactly what it means on Windows: results are Win32 error codes,
// data are typed bytes in the caller's buffer, sizes are the ones the functions report. Paths and
// names are UTF-8 here and UTF-16 at the Win32 boundary.
namespace velmara {

using RegStatus = std::uint32_t;

namespace reg {

inline constexpr RegStatus kSuccess = 0;
inline constexpr RegStatus kFileNotFound = 2;
inline constexpr RegStatus kAccessDenied = 5;
inline constexpr RegStatus kInvalidParameter = 87;
inline constexpr RegStatus kMoreData = 234;

inline constexpr std::uint32_t kTypeNone = 0;
inline constexpr std::uint32_t kTypeSz = 1;
inline constexpr std::uint32_t kTypeBinary = 3;
inline constexpr std::uint32_t kTypeDword = 4;
inline constexpr std::uint32_t kTypeQword = 11;

inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kNotify = 0x0010;
inline constexpr std::uint32_t kReadControl = 0x00020000;
inline constexpr std::uint32_t kRead = kReadControl | kQueryValue | kEnumerateSubKeys | kNotify;  // KEY_READ

}  // namespace reg

// An open key. Destroying it closes it.
class MachineRegistryKey {
 public:
  MachineRegistryKey() = default;
  MachineRegistryKey(const MachineRegistryKey&) = delete;
  MachineRegistryKey& operator=(const MachineRegistryKey&) = delete;
  virtual ~MachineRegistryKey() = default;

  // RegQueryValueExW. |size| is the capacity of |data| in bytes on the way in and the size of the
  // value on the way out, also when the buffer is too small (kMoreData). With |data| null only
  // type and size are reported. |type| may be null. Outputs are left alone on other failures.
  virtual RegStatus QueryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                               std::uint32_t* size) = 0;
};

class MachineRegistry {
 public:
  MachineRegistry() = default;
  MachineRegistry(const MachineRegistry&) = delete;
  MachineRegistry& operator=(const MachineRegistry&) = delete;
  virtual ~MachineRegistry() = default;

  // RegOpenKeyExW under HKEY_LOCAL_MACHINE, options 0. |path| separates its parts by backslashes.
  virtual RegStatus OpenKey(const std::string& path, std::uint32_t access,
                            std::unique_ptr<MachineRegistryKey>* key) = 0;
};

}  // namespace velmara
