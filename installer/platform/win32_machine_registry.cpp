#include "win32_machine_registry.h"

#include <windows.h>

#include "win32_text.h"
#include "win32_unique_handles.h"

namespace velmara {

static_assert(reg::kRead == KEY_READ && reg::kQueryValue == KEY_QUERY_VALUE);
static_assert(reg::kTypeDword == REG_DWORD && reg::kTypeSz == REG_SZ && reg::kTypeBinary == REG_BINARY &&
              reg::kTypeQword == REG_QWORD);
static_assert(reg::kMoreData == ERROR_MORE_DATA && reg::kFileNotFound == ERROR_FILE_NOT_FOUND &&
              reg::kAccessDenied == ERROR_ACCESS_DENIED && reg::kInvalidParameter == ERROR_INVALID_PARAMETER);

namespace {

// Status codes are small non-negative numbers; LONG carries them.
RegStatus Status(LONG result) { return static_cast<RegStatus>(result); }

class Win32Key final : public MachineRegistryKey {
 public:
  explicit Win32Key(UniqueHKey key) : key_(std::move(key)) {}

  RegStatus QueryValue(const std::string& name, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override {
    DWORD t = 0;
    DWORD s = size != nullptr ? *size : 0;
    const LONG r = RegQueryValueExW(key_.Get(), Wide(name).c_str(), nullptr, type != nullptr ? &t : nullptr, data,
                                    size != nullptr ? &s : nullptr);
    if (r == ERROR_SUCCESS || r == ERROR_MORE_DATA) {
      if (type != nullptr) *type = t;
      if (size != nullptr) *size = s;
    }
    return Status(r);
  }

 private:
  UniqueHKey key_;
};

}  // namespace

RegStatus Win32MachineRegistry::OpenKey(const std::string& path, std::uint32_t access,
                                        std::unique_ptr<MachineRegistryKey>* key) {
  UniqueHKey h;
  const LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Wide(path).c_str(), 0, access, h.Receive());
  if (r == ERROR_SUCCESS) *key = std::make_unique<Win32Key>(std::move(h));
  return Status(r);
}

}  // namespace velmara
