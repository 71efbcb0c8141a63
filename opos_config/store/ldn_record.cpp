#include "ldn_record.h"

#include <memory>
#include <optional>

#include "opos_store.h"
#include "registry_values.h"

namespace corvale {

namespace {

// The service object reads these strings into buffers of 256 characters.
constexpr std::size_t kMaxStringChars = 255;

const std::u16string kDefaultKeyName = u"ArdOPOS";

bool IsPrinterClass(const std::u16string& deviceClass) { return deviceClass == kPrinterClass; }

struct TextValue {
  const char16_t* name;
  std::u16string LDNRecord::*field;  // null for the unnamed value, whose field depends on the class
};
const TextValue kTexts[LDNRecord::kTextValues] = {
    {u"", nullptr},
    {u"DeviceClass", &LDNRecord::DeviceClass},
    {u"DeviceDesc", &LDNRecord::DeviceDesc},
    {u"DeviceName", &LDNRecord::DeviceName},
    {u"LDNName", &LDNRecord::LDNName},
};

struct NumberValue {
  const char16_t* name;
  std::uint32_t LDNRecord::*field;
  bool printerOnly;
};
const NumberValue kNumbers[LDNRecord::kNumberValues] = {
    {u"CharCodePage", &LDNRecord::CharCodePage, true}, {u"DotLineWidth", &LDNRecord::DotLineWidth, true},
    {u"Effects", &LDNRecord::Effects, true},           {u"PortSetting", &LDNRecord::PortSetting, false},
    {u"PortType", &LDNRecord::PortType, false},        {u"TimeOut", &LDNRecord::TimeOut, false},
    {u"VersionSO", &LDNRecord::VersionSO, false},
};
constexpr std::size_t kVersionSOIndex = 6;
const char16_t* const kVersionName = u"Version";

std::u16string& TextField(LDNRecord& record, const TextValue& value, bool printer) {
  if (value.field != nullptr) return record.*value.field;
  return printer ? record.PrinterProgID : record.DrawerProgID;
}

bool Missing(RegStatus s) { return s == reg::kFileNotFound; }

}  // namespace

LDNRecord::LDNRecord()
    : DeviceClass(u"POSPrinter"),
      DeviceDesc(u"POSPrinter 80 series printer"),
      DeviceName(u"POSPrinter80"),
      LDNName(u"ArdOPOS"),
      PrinterProgID(u"POSPrinter.OPOS_Printer_SO.2016"),
      DrawerProgID(u"POSPrinter.OPOS_CashDrawer_SO.2016") {}

LDNRecord::LDNRecord(const OposStore& store, const std::u16string& ldnName, const std::u16string& deviceClass)
    : KeyName(ldnName) {
  ReadLDN(store, deviceClass);
}

void LDNRecord::ReadLDN(const OposStore& store, const std::u16string& deviceClass) {
  loaded_.reset();
  shadowsAlias_ = false;
  const std::u16string base = store.ClassKeyPath(deviceClass);
  if (base.empty()) return;
  Registry& registry = store.registry();

  std::unique_ptr<RegistryKey> key;
  if (IsLdnKeyName(KeyName) && registry.OpenKey(base + u"\\" + KeyName, reg::kRead, &key) == reg::kSuccess) {
    // The key wins over an alias of its name, as with every program that looks LDNs up; but the
    // list shows aliases, and the alias may name another key.
    std::unique_ptr<RegistryKey> classKey;
    if (registry.OpenKey(base, reg::kRead, &classKey) == reg::kSuccess) {
      const std::optional<std::u16string> target = ReadString(*classKey, KeyName, kMaxStringChars);
      shadowsAlias_ = target && IsLdnKeyName(*target) && !registry.SameName(*target, KeyName);
    }
  } else {
    // No key of that name: the name may be an alias. Reading it needs no write access.
    std::unique_ptr<RegistryKey> classKey;
    if (registry.OpenKey(base, reg::kRead, &classKey) != reg::kSuccess) return;
    std::optional<std::u16string> target = ReadString(*classKey, KeyName, kMaxStringChars);
    classKey.reset();
    if (!target || !IsLdnKeyName(*target)) return;
    KeyName = std::move(*target);
    if (registry.OpenKey(base + u"\\" + KeyName, reg::kRead, &key) != reg::kSuccess) return;
  }

  Loaded loaded;
  loaded.key = KeyName;
  loaded.deviceClass = deviceClass;
  const bool printer = IsPrinterClass(deviceClass);
  for (std::size_t i = 0; i < kTextValues; ++i) {
    std::u16string& field = TextField(*this, kTexts[i], printer);
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
    const RegStatus s = ReadValue(*key, kTexts[i].name, &type, &data);
    Stored stored = Missing(s) ? Stored::kMissing : Stored::kForeign;
    if (s == reg::kSuccess && data.size() <= (kMaxStringChars + 1) * sizeof(char16_t)) {
      if (std::optional<std::u16string> text = TextOfStringData(type, data)) {
        field = std::move(*text);
        stored = Stored::kTaken;
      }
    }
    loaded.stored[i] = stored;
    loaded.text[i] = field;
  }
  for (std::size_t i = 0; i < kNumberValues; ++i) {
    const NumberValue& value = kNumbers[i];
    std::uint32_t& field = this->*value.field;
    Stored stored = Stored::kMissing;
    if (printer || !value.printerOnly) {
      std::uint32_t number = 0;
      const RegStatus s = ReadDword(*key, value.name, &number);
      stored = s == reg::kSuccess ? Stored::kTaken : Missing(s) ? Stored::kMissing : Stored::kForeign;
      if (stored == Stored::kTaken) field = number;
      // Anything but a number there unmarks the key.
      if (i == kVersionSOIndex && stored != Stored::kTaken) field = 0;
    }
    loaded.stored[kTextValues + i] = stored;
    loaded.number[i] = field;
  }
  // The version is never read back, only whether there is one.
  std::uint32_t size = 0;
  loaded.stored[kValues - 1] =
      Missing(key->QueryValue(kVersionName, nullptr, nullptr, &size)) ? Stored::kMissing : Stored::kForeign;
  loaded_ = std::move(loaded);
}

bool LDNRecord::WriteLDN(const OposStore& store, const std::u16string& ldnName, const std::u16string& deviceClass) {
  keptAsStored_.clear();
  KeyName = ldnName.empty() ? kDefaultKeyName : ldnName;
  const std::u16string base = store.ClassKeyPath(deviceClass);
  if (base.empty()) return false;
  Registry& registry = store.registry();
  std::unique_ptr<RegistryKey> key;
  if (registry.OpenKey(base + u"\\" + KeyName, reg::kReadWrite, &key) != reg::kSuccess) return false;

  // Only a key this tool made, or one it has just made and not yet filled.
  std::uint32_t marker = 0;
  if (ReadDword(*key, u"VersionSO", &marker) != reg::kSuccess || !CarriesMadeByToolMarker(marker)) {
    RegKeyInfo info;
    if (key->QueryInfo(&info) != reg::kSuccess || info.values != 0) return false;
  }

  // Back into the key it was read from: what the record has not changed stays as it is stored.
  const bool printer = IsPrinterClass(deviceClass);
  Loaded* loaded =
      loaded_ && IsPrinterClass(loaded_->deviceClass) == printer && registry.SameName(loaded_->key, KeyName)
          ? &*loaded_
          : nullptr;
  // Whether value |i| is to be written, given whether its field still holds what was read.
  auto wanted = [&](std::size_t i, const char16_t* name, bool unchanged) {
    if (loaded == nullptr) return true;
    switch (loaded->stored[i]) {
      case Stored::kMissing:
        return true;
      case Stored::kTaken:
        return !unchanged;
      case Stored::kForeign:
        if (!unchanged) keptAsStored_.emplace_back(name);
        return false;
    }
    return false;
  };

  // Every value is attempted, so that one refused value does not leave the others stale. What is
  // written is what the key now holds, for the next write.
  bool written = true;
  auto check = [&written, loaded](std::size_t i, RegStatus s) {
    written = written && s == reg::kSuccess;
    if (s == reg::kSuccess && loaded != nullptr) loaded->stored[i] = Stored::kTaken;
    return s == reg::kSuccess;
  };
  for (std::size_t i = 0; i < kTextValues; ++i) {
    const std::u16string& field = TextField(*this, kTexts[i], printer);
    if (wanted(i, kTexts[i].name, loaded != nullptr && field == loaded->text[i]) &&
        check(i, WriteString(*key, kTexts[i].name, field)) && loaded != nullptr) {
      loaded->text[i] = field;
    }
  }
  for (std::size_t i = 0; i < kNumberValues; ++i) {
    const NumberValue& value = kNumbers[i];
    if (value.printerOnly && !printer) continue;
    const std::uint32_t field = this->*value.field;
    if (wanted(kTextValues + i, value.name, loaded != nullptr && field == loaded->number[i]) &&
        check(kTextValues + i, WriteDword(*key, value.name, field)) && loaded != nullptr) {
      loaded->number[i] = field;
    }
  }
  // The version is written where there is none, and never compared.
  if (wanted(kValues - 1, kVersionName, true) && check(kValues - 1, WriteString(*key, kVersionName, Version)) &&
      loaded != nullptr) {
    loaded->stored[kValues - 1] = Stored::kForeign;
  }
  return written;
}

}  // namespace corvale
