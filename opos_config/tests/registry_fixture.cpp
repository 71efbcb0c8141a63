#include "registry_fixture.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <sstream>

#include "store/ldn_record.h"
#include "store/registry_values.h"

namespace corvale::testing {

std::vector<std::uint8_t> SzBytes(const std::u16string& text) {
  std::vector<std::uint8_t> bytes((text.size() + 1) * sizeof(char16_t), 0);
  std::memcpy(bytes.data(), text.data(), text.size() * sizeof(char16_t));
  return bytes;
}

std::vector<std::uint8_t> DwordBytes(std::uint32_t v) {
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v >> 16),
          static_cast<std::uint8_t>(v >> 24)};
}

std::u16string Utf16(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      std::ostringstream hex;
      hex << "\\u" << std::hex << static_cast<unsigned>(c);
      out += hex.str();
    }
  }
  return out;
}

// Makes |path| a key at a time, as Corvale's start-up makes the OPOS keys: Wine's WoW64 puts a path
// of several new keys below SOFTWARE\WOW6432Node, made in one call by a 32-bit process, one
// WOW6432Node deeper than Windows does (the registry contract test shows it).
RegStatus RegistrySeed::Create(const std::u16string& path, std::unique_ptr<RegistryKey>* key) {
  // The keys on the way are only made or passed through: they need no more than that right.
  for (std::size_t end = path.find(u'\\');; end = path.find(u'\\', end + 1)) {
    const bool last = end == std::u16string::npos;
    const RegStatus s = registry_.CreateKey(path.substr(0, end), last ? reg::kReadWrite : reg::kCreateSubKey, key, nullptr);
    if (s != reg::kSuccess || last) return s;
  }
}

void RegistrySeed::Key(const std::u16string& path) {
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(Create(path, &key), reg::kSuccess) << Narrow(path);
}

void RegistrySeed::Raw(const std::u16string& path, const std::u16string& name, std::uint32_t type,
                       const std::vector<std::uint8_t>& data) {
  std::unique_ptr<RegistryKey> key;
  ASSERT_EQ(Create(path, &key), reg::kSuccess) << Narrow(path);
  ASSERT_EQ(key->SetValue(name, type, data.data(), static_cast<std::uint32_t>(data.size())), reg::kSuccess)
      << Narrow(name);
}

bool RegistrySeed::Exists(const std::u16string& path) {
  std::unique_ptr<RegistryKey> key;
  return registry_.OpenKey(path, reg::kRead, &key) == reg::kSuccess;
}

std::pair<std::uint32_t, std::vector<std::uint8_t>> RegistrySeed::Value(const std::u16string& path,
                                                                         const std::u16string& name) {
  std::unique_ptr<RegistryKey> key;
  std::uint32_t type = 0xFFFFFFFF;
  std::vector<std::uint8_t> data;
  if (registry_.OpenKey(path, reg::kRead, &key) != reg::kSuccess) return {0xFFFFFFFF, {}};
  if (ReadValue(*key, name, &type, &data) != reg::kSuccess) return {0xFFFFFFFF, {}};
  return {type, data};
}

std::u16string RegistrySeed::String(const std::u16string& path, const std::u16string& name) {
  auto [type, data] = Value(path, name);
  EXPECT_EQ(type, reg::kTypeSz) << Narrow(name);
  return TextOfStringData(type, data).value_or(u"<not a string>");
}

std::uint32_t RegistrySeed::Number(const std::u16string& path, const std::u16string& name) {
  auto [type, data] = Value(path, name);
  EXPECT_EQ(type, reg::kTypeDword) << Narrow(name);
  EXPECT_EQ(data.size(), 4u) << Narrow(name);
  if (data.size() != 4) return 0xDEADBEEF;
  return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
         static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

std::vector<std::u16string> RegistrySeed::ValueNames(const std::u16string& path) {
  std::unique_ptr<RegistryKey> key;
  std::vector<std::u16string> names;
  if (registry_.OpenKey(path, reg::kRead, &key) == reg::kSuccess) ListValueNames(*key, &names);
  return names;
}

std::vector<std::u16string> RegistrySeed::SubkeyNames(const std::u16string& path) {
  std::unique_ptr<RegistryKey> key;
  std::vector<std::u16string> names;
  if (registry_.OpenKey(path, reg::kRead, &key) == reg::kSuccess) ListSubkeyNames(*key, &names);
  return names;
}

std::string RegistrySeed::Snapshot(const std::u16string& path) {
  if (!Exists(path)) return "<no key>";
  std::vector<std::string> lines;
  std::vector<std::u16string> names = ValueNames(path);
  for (const std::u16string& name : names) {
    auto [type, data] = Value(path, name);
    std::ostringstream line;
    line << "[" << Narrow(name) << "] type " << type << ":";
    for (std::uint8_t b : data) line << " " << static_cast<unsigned>(b);
    lines.push_back(line.str());
  }
  for (const std::u16string& sub : SubkeyNames(path)) {
    lines.push_back("key " + Narrow(sub) + " {" + Snapshot(path + u"\\" + sub) + "}");
  }
  std::sort(lines.begin(), lines.end());
  std::string all;
  for (const std::string& line : lines) all += line + "\n";
  return all;
}

namespace {

class InterceptingKey final : public RegistryKey {
 public:
  InterceptingKey(std::unique_ptr<RegistryKey> inner, InterceptingRegistry& owner)
      : inner_(std::move(inner)), owner_(owner) {}

  RegStatus QueryValue(const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                       std::uint32_t* size) override {
    return inner_->QueryValue(name, type, data, size);
  }
  RegStatus SetValue(const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                     std::uint32_t size) override {
    if (owner_.refuseValue) {
      if (RegStatus refused = owner_.refuseValue(name); refused != reg::kSuccess) return refused;
    }
    return inner_->SetValue(name, type, data, size);
  }
  RegStatus EnumValue(std::uint32_t index, char16_t* name, std::uint32_t* nameChars, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* dataSize) override {
    if (!BeforeEnumerate(index)) return reg::kNoMoreItems;
    return inner_->EnumValue(index, name, nameChars, type, data, dataSize);
  }
  RegStatus EnumKey(std::uint32_t index, char16_t* name, std::uint32_t* nameChars) override {
    if (!BeforeEnumerate(index)) return reg::kNoMoreItems;
    return inner_->EnumKey(index, name, nameChars);
  }
  RegStatus QueryInfo(RegKeyInfo* info) override { return inner_->QueryInfo(info); }
  RegStatus DeleteValue(const std::u16string& name) override { return inner_->DeleteValue(name); }
  RegStatus DeleteSubKey(const std::u16string& path) override { return inner_->DeleteSubKey(path); }

 private:
  bool BeforeEnumerate(std::uint32_t index) {
    if (++owner_.enumerateCalls > owner_.enumerateLimit) return false;
    if (owner_.beforeEnumerate) owner_.beforeEnumerate(index);
    return true;
  }

  std::unique_ptr<RegistryKey> inner_;
  InterceptingRegistry& owner_;
};

}  // namespace

std::unique_ptr<RegistryKey> InterceptingRegistry::Wrap(std::unique_ptr<RegistryKey> key) {
  return std::make_unique<InterceptingKey>(std::move(key), *this);
}

RegStatus InterceptingRegistry::OpenKey(const std::u16string& path, std::uint32_t access,
                                        std::unique_ptr<RegistryKey>* key) {
  std::unique_ptr<RegistryKey> inner;
  const RegStatus s = inner_.OpenKey(path, access, &inner);
  if (s == reg::kSuccess) *key = Wrap(std::move(inner));
  return s;
}

RegStatus InterceptingRegistry::CreateKey(const std::u16string& path, std::uint32_t access,
                                          std::unique_ptr<RegistryKey>* key, std::uint32_t* disposition) {
  if (beforeCreate) beforeCreate(path);
  std::unique_ptr<RegistryKey> inner;
  const RegStatus s = inner_.CreateKey(path, access, &inner, disposition);
  if (s == reg::kSuccess) *key = Wrap(std::move(inner));
  return s;
}

std::string LdnsView(RegistrySeed& seed, const OposStore& store) {
  std::string view;
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    const std::u16string path = store.ClassKeyPath(*deviceClass);
    if (!seed.Exists(path)) continue;
    std::map<std::string, std::string> byAlias;
    for (const std::u16string& alias : seed.ValueNames(path)) {
      const std::u16string key = seed.String(path, alias);
      std::string values = seed.Snapshot(path + u"\\" + key);
      const std::string ldnName = "[LDNName] type 1:";
      const std::size_t at = values.find(ldnName);
      if (at != std::string::npos && seed.String(path + u"\\" + key, u"LDNName") == key) {
        values.replace(at, values.find('\n', at) - at, "[LDNName] = its key");
      }
      byAlias[Narrow(alias)] = values;
    }
    for (const auto& [alias, values] : byAlias) view += Narrow(*deviceClass) + " " + alias + " {\n" + values + "}\n";
  }
  return view;
}

}  // namespace corvale::testing
