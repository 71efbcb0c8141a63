#include "registry_values.h"

#include <cstring>

namespace corvale {

namespace {

// A name or a value can grow between the size query and the read; a few fresh tries settle it.
constexpr int kAttempts = 4;

}  // namespace

RegStatus ReadValue(RegistryKey& key, const std::u16string& name, std::uint32_t* type,
                    std::vector<std::uint8_t>* data) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::uint32_t size = 0;
    RegStatus s = key.QueryValue(name, type, nullptr, &size);
    if (s != reg::kSuccess) return s;
    data->assign(size, 0);
    if (size == 0) return reg::kSuccess;
    std::uint32_t got = size;
    s = key.QueryValue(name, type, data->data(), &got);
    if (s == reg::kMoreData) continue;
    if (s != reg::kSuccess) return s;
    data->resize(got);
    return reg::kSuccess;
  }
  return reg::kMoreData;
}

std::optional<std::u16string> TextOfStringData(std::uint32_t type, const std::vector<std::uint8_t>& data) {
  if (type != reg::kTypeSz && type != reg::kTypeExpandSz) return std::nullopt;
  if (data.empty()) return std::u16string();
  if (data.size() % sizeof(char16_t) != 0) return std::nullopt;
  std::u16string text(data.size() / sizeof(char16_t), u'\0');
  std::memcpy(text.data(), data.data(), data.size());
  if (text.back() != u'\0') return std::nullopt;
  text.resize(text.find(u'\0'));
  return text;
}

std::optional<std::u16string> ReadString(RegistryKey& key, const std::u16string& name, std::size_t maxChars) {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
  if (ReadValue(key, name, &type, &data) != reg::kSuccess) return std::nullopt;
  if (maxChars != SIZE_MAX && data.size() > (maxChars + 1) * sizeof(char16_t)) return std::nullopt;
  return TextOfStringData(type, data);
}

RegStatus ReadDword(RegistryKey& key, const std::u16string& name, std::uint32_t* value) {
  std::uint32_t type = 0;
  std::uint8_t bytes[sizeof(std::uint32_t)] = {};
  std::uint32_t size = sizeof(bytes);
  if (const RegStatus s = key.QueryValue(name, &type, bytes, &size); s != reg::kSuccess) return s;
  if (type != reg::kTypeDword || size != sizeof(bytes)) return reg::kInvalidData;
  // REG_DWORD is little-endian whatever the machine.
  *value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
  return reg::kSuccess;
}

std::optional<std::uint32_t> ReadDword(RegistryKey& key, const std::u16string& name) {
  std::uint32_t value = 0;
  if (ReadDword(key, name, &value) != reg::kSuccess) return std::nullopt;
  return value;
}

RegStatus WriteString(RegistryKey& key, const std::u16string& name, const std::u16string& text) {
  const std::size_t length = text.find(u'\0') == std::u16string::npos ? text.size() : text.find(u'\0');
  std::vector<std::uint8_t> data((length + 1) * sizeof(char16_t), 0);
  std::memcpy(data.data(), text.data(), length * sizeof(char16_t));
  return key.SetValue(name, reg::kTypeSz, data.data(), static_cast<std::uint32_t>(data.size()));
}

RegStatus WriteDword(RegistryKey& key, const std::u16string& name, std::uint32_t value) {
  const std::uint8_t bytes[] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
  return key.SetValue(name, reg::kTypeDword, bytes, sizeof(bytes));
}

namespace {

// Lists up to the count the key reports when the listing starts, and stops at the first entry the
// registry cannot give: a key deleted meanwhile answers every index with an error, and entries
// added meanwhile would keep a listing going for as long as they come.
template <typename Enumerate>
bool ListNames(RegistryKey& key, std::uint32_t RegKeyInfo::*count, std::uint32_t RegKeyInfo::*longest,
               Enumerate enumerate, std::vector<std::u16string>* names) {
  names->clear();
  RegKeyInfo info;
  if (key.QueryInfo(&info) != reg::kSuccess) return false;
  const std::uint32_t total = info.*count;
  std::vector<char16_t> buffer(std::size_t{info.*longest} + 1);
  int retries = 0;
  for (std::uint32_t index = 0; index < total;) {
    auto chars = static_cast<std::uint32_t>(buffer.size());
    const RegStatus s = enumerate(index, buffer.data(), &chars);
    if (s == reg::kSuccess) {
      names->emplace_back(buffer.data(), chars);
    } else if (s != reg::kMoreData) {
      break;
    } else if (retries < kAttempts && key.QueryInfo(&info) == reg::kSuccess &&
               info.*longest + std::size_t{1} > buffer.size()) {
      // A longer name came in since the count was taken.
      buffer.resize(std::size_t{info.*longest} + 1);
      ++retries;
      continue;
    }
    // A name that still does not fit is passed over.
    retries = 0;
    ++index;
  }
  return true;
}

}  // namespace

bool ListValueNames(RegistryKey& key, std::vector<std::u16string>* names) {
  return ListNames(
      key, &RegKeyInfo::values, &RegKeyInfo::maxValueNameChars,
      [&key](std::uint32_t i, char16_t* name, std::uint32_t* chars) {
        return key.EnumValue(i, name, chars, nullptr, nullptr, nullptr);
      },
      names);
}

bool ListSubkeyNames(RegistryKey& key, std::vector<std::u16string>* names) {
  return ListNames(
      key, &RegKeyInfo::subKeys, &RegKeyInfo::maxSubKeyChars,
      [&key](std::uint32_t i, char16_t* name, std::uint32_t* chars) { return key.EnumKey(i, name, chars); }, names);
}

}  // namespace corvale
