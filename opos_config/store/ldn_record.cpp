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

void TakeString(RegistryKey& key, const std::u16string& name, std::u16string& field) {
  if (std::optional<std::u16string> text = ReadString(key, name, kMaxStringChars)) field = std::move(*text);
}

void TakeDword(RegistryKey& key, const std::u16string& name, std::uint32_t& field) {
  if (std::optional<std::uint32_t> value = ReadDword(key, name)) field = *value;
}

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
  keyFound_ = false;
  const std::u16string base = store.ClassKeyPath(deviceClass);
  if (base.empty()) return;
  Registry& registry = store.registry();

  std::unique_ptr<RegistryKey> key;
  if (!IsLdnKeyName(KeyName) || registry.OpenKey(base + u"\\" + KeyName, reg::kRead, &key) != reg::kSuccess) {
    // No key of that name: the name may be an alias. Reading it needs no write access.
    std::unique_ptr<RegistryKey> classKey;
    if (registry.OpenKey(base, reg::kRead, &classKey) != reg::kSuccess) return;
    std::optional<std::u16string> target = ReadString(*classKey, KeyName, kMaxStringChars);
    classKey.reset();
    if (!target || !IsLdnKeyName(*target)) return;
    KeyName = std::move(*target);
    if (registry.OpenKey(base + u"\\" + KeyName, reg::kRead, &key) != reg::kSuccess) return;
  }
  keyFound_ = true;

  const bool printer = IsPrinterClass(deviceClass);
  TakeString(*key, u"", printer ? PrinterProgID : DrawerProgID);
  TakeString(*key, u"DeviceClass", DeviceClass);
  TakeString(*key, u"DeviceDesc", DeviceDesc);
  TakeString(*key, u"DeviceName", DeviceName);
  TakeString(*key, u"LDNName", LDNName);
  if (printer) {
    TakeDword(*key, u"CharCodePage", CharCodePage);
    TakeDword(*key, u"DotLineWidth", DotLineWidth);
    TakeDword(*key, u"Effects", Effects);
  }
  TakeDword(*key, u"PortSetting", PortSetting);
  TakeDword(*key, u"PortType", PortType);
  TakeDword(*key, u"TimeOut", TimeOut);
  VersionSO = ReadDword(*key, u"VersionSO").value_or(0);
}

bool LDNRecord::WriteLDN(const OposStore& store, const std::u16string& ldnName, const std::u16string& deviceClass) {
  KeyName = ldnName.empty() ? kDefaultKeyName : ldnName;
  const std::u16string base = store.ClassKeyPath(deviceClass);
  if (base.empty()) return false;
  std::unique_ptr<RegistryKey> key;
  if (store.registry().OpenKey(base + u"\\" + KeyName, reg::kReadWrite, &key) != reg::kSuccess) return false;

  // Every value is attempted, so that one refused value does not leave the others stale.
  bool written = true;
  auto check = [&written](RegStatus s) { written = written && s == reg::kSuccess; };
  const bool printer = IsPrinterClass(deviceClass);
  check(WriteString(*key, u"", printer ? PrinterProgID : DrawerProgID));
  check(WriteString(*key, u"DeviceClass", DeviceClass));
  check(WriteString(*key, u"DeviceDesc", DeviceDesc));
  check(WriteString(*key, u"DeviceName", DeviceName));
  check(WriteString(*key, u"LDNName", LDNName));
  if (printer) {
    check(WriteDword(*key, u"CharCodePage", CharCodePage));
    check(WriteDword(*key, u"DotLineWidth", DotLineWidth));
    check(WriteDword(*key, u"Effects", Effects));
  }
  check(WriteDword(*key, u"PortSetting", PortSetting));
  check(WriteDword(*key, u"PortType", PortType));
  check(WriteDword(*key, u"TimeOut", TimeOut));
  check(WriteDword(*key, u"VersionSO", VersionSO));
  check(WriteString(*key, u"Version", Version));
  return written;
}

}  // namespace corvale
