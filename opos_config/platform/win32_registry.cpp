#include "win32_registry.h"

#include <windows.h>

#include "win32_handles.h"

namespace corvale {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 strings pass to the W functions as they are");
static_assert(reg::kRead == KEY_READ && reg::kWrite == KEY_WRITE && reg::kAllAccess == KEY_ALL_ACCESS);
static_assert(reg::kSetValue == KEY_SET_VALUE && reg::kCreateSubKey == KEY_CREATE_SUB_KEY && reg::kDelete == DELETE);
static_assert(reg::kTypeSz == REG_SZ && reg::kTypeExpandSz == REG_EXPAND_SZ && reg::kTypeDword == REG_DWORD &&
              reg::kTypeBinary == REG_BINARY && reg::kTypeMultiSz == REG_MULTI_SZ && reg::kTypeQword == REG_QWORD);
static_assert(reg::kMoreData == ERROR_MORE_DATA && reg::kNoMoreItems == ERROR_NO_MORE_ITEMS &&
              reg::kFileNotFound == ERROR_FILE_NOT_FOUND && reg::kAccessDenied == ERROR_ACCESS_DENIED &&
              reg::kKeyDeleted == ERROR_KEY_DELETED && reg::kBadPathname == ERROR_BAD_PATHNAME);
static_assert(reg::kCreatedNewKey == REG_CREATED_NEW_KEY && reg::kOpenedExistingKey == REG_OPENED_EXISTING_KEY);

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }

// Status codes are small non-negative numbers; LONG carries them.
RegStatus Status(LONG result) { return static_cast<RegStatus>(result); }

using RegDeleteKeyExWFn = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
using RtlUpcaseUnicodeCharFn = WCHAR(NTAPI*)(WCHAR);

template <typename Function>
Function As(SystemProcedure procedure) {
  return reinterpret_cast<Function>(procedure);
}

class Win32Key final : public RegistryKey {
 public:
  Win32Key(UniqueHKey key, RegDeleteKeyExWFn deleteKeyEx) : key_(std::move(key)), deleteKeyEx_(deleteKeyEx) {}

  RegStatus QueryValue(const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override {
    DWORD t = 0;
    DWORD s = size != nullptr ? *size : 0;
    const LONG r = RegQueryValueExW(key_.Get(), W(name), nullptr, type != nullptr ? &t : nullptr, data,
                                    size != nullptr ? &s : nullptr);
    if (r == ERROR_SUCCESS || r == ERROR_MORE_DATA) {
      if (type != nullptr) *type = t;
      if (size != nullptr) *size = s;
    }
    return Status(r);
  }

  RegStatus SetValue(const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                     std::uint32_t size) override {
    return Status(RegSetValueExW(key_.Get(), W(name), 0, type, data, size));
  }

  RegStatus EnumValue(std::uint32_t index, char16_t* name, std::uint32_t* nameChars, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* dataSize) override {
    DWORD chars = nameChars != nullptr ? *nameChars : 0;
    DWORD t = 0;
    DWORD s = dataSize != nullptr ? *dataSize : 0;
    const LONG r = RegEnumValueW(key_.Get(), index, W(name), nameChars != nullptr ? &chars : nullptr, nullptr,
                                 type != nullptr ? &t : nullptr, data, dataSize != nullptr ? &s : nullptr);
    if (r == ERROR_SUCCESS) {
      if (nameChars != nullptr) *nameChars = chars;
    }
    if (r == ERROR_SUCCESS || r == ERROR_MORE_DATA) {
      if (type != nullptr) *type = t;
      if (dataSize != nullptr) *dataSize = s;
    }
    return Status(r);
  }

  RegStatus EnumKey(std::uint32_t index, char16_t* name, std::uint32_t* nameChars) override {
    DWORD chars = nameChars != nullptr ? *nameChars : 0;
    const LONG r = RegEnumKeyExW(key_.Get(), index, W(name), nameChars != nullptr ? &chars : nullptr, nullptr,
                                 nullptr, nullptr, nullptr);
    if (r == ERROR_SUCCESS && nameChars != nullptr) *nameChars = chars;
    return Status(r);
  }

  RegStatus QueryInfo(RegKeyInfo* info) override {
    DWORD subKeys = 0, maxSubKey = 0, values = 0, maxValueName = 0, maxValueData = 0;
    const LONG r = RegQueryInfoKeyW(key_.Get(), nullptr, nullptr, nullptr, &subKeys, &maxSubKey, nullptr, &values,
                                    &maxValueName, &maxValueData, nullptr, nullptr);
    if (r == ERROR_SUCCESS) {
      info->subKeys = subKeys;
      info->maxSubKeyChars = maxSubKey;
      info->values = values;
      info->maxValueNameChars = maxValueName;
      info->maxValueDataBytes = maxValueData;
    }
    return Status(r);
  }

  RegStatus DeleteValue(const std::u16string& name) override { return Status(RegDeleteValueW(key_.Get(), W(name))); }

  RegStatus DeleteSubKey(const std::u16string& path) override {
    if (deleteKeyEx_ != nullptr) return Status(deleteKeyEx_(key_.Get(), W(path), 0, 0));
    return Status(RegDeleteKeyW(key_.Get(), W(path)));
  }

 private:
  UniqueHKey key_;
  RegDeleteKeyExWFn deleteKeyEx_;
};

}  // namespace

// RegDeleteKeyExW first came with the 64-bit editions of Windows XP and Windows Server 2003;
// 32-bit Windows XP has only RegDeleteKeyW. The registry upper-cases names with the case table that
// ntdll's RtlUpcaseUnicodeChar uses; the export has been there since the first Windows NT but is
// not in the import libraries of every toolchain. Both DLLs are in every process.
Win32Registry::Win32Registry(SystemProcedureLookup lookup)
    : deleteKeyEx_(lookup(L"advapi32.dll", "RegDeleteKeyExW")),
      upcase_(lookup(L"ntdll.dll", "RtlUpcaseUnicodeChar")) {}

RegStatus Win32Registry::OpenKey(const std::u16string& path, std::uint32_t access,
                                 std::unique_ptr<RegistryKey>* key) {
  UniqueHKey h;
  const LONG r = RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(path), 0, access, h.Receive());
  if (r == ERROR_SUCCESS) *key = std::make_unique<Win32Key>(std::move(h), As<RegDeleteKeyExWFn>(deleteKeyEx_));
  return Status(r);
}

RegStatus Win32Registry::CreateKey(const std::u16string& path, std::uint32_t access,
                                   std::unique_ptr<RegistryKey>* key, std::uint32_t* disposition) {
  UniqueHKey h;
  DWORD d = 0;
  const LONG r = RegCreateKeyExW(HKEY_LOCAL_MACHINE, W(path), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                 h.Receive(), disposition != nullptr ? &d : nullptr);
  if (r == ERROR_SUCCESS) {
    *key = std::make_unique<Win32Key>(std::move(h), As<RegDeleteKeyExWFn>(deleteKeyEx_));
    if (disposition != nullptr) *disposition = d;
  }
  return Status(r);
}

namespace {

char16_t Upcase(SystemProcedure upcase, char16_t c) {
  if (const auto function = As<RtlUpcaseUnicodeCharFn>(upcase)) return static_cast<char16_t>(function(static_cast<WCHAR>(c)));
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - (u'a' - u'A')) : c;
}

}  // namespace

bool Win32Registry::SameName(std::u16string_view a, std::u16string_view b) const {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && Upcase(upcase_, a[i]) != Upcase(upcase_, b[i])) return false;
  }
  return true;
}

std::u16string Win32Registry::UpcasedName(std::u16string_view name) const {
  std::u16string upcased(name);
  for (char16_t& c : upcased) c = Upcase(upcase_, c);
  return upcased;
}

}  // namespace corvale
