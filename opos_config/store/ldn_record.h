#pragma once

#include <cstdint>
#include <string>

namespace corvale {

class OposStore;

inline const std::u16string kPrinterClass = u"POSPrinter";
inline const std::u16string kDrawerClass = u"CashDrawer";

// "VersionSO" with its low byte cleared marks an LDN key that this tool made.
inline constexpr std::uint32_t kMadeByToolMarker = 0x41726400;
inline constexpr bool CarriesMadeByToolMarker(std::uint32_t versionSO) {
  return (versionSO & ~std::uint32_t{0xFF}) == kMadeByToolMarker;
}

// Whether |name| can name an LDN key: a key right under the class key, never the class key
// itself nor a key further down.
inline bool IsLdnKeyName(const std::u16string& name) {
  return !name.empty() && name.find(u'\\') == std::u16string::npos;
}

// PortType values.
inline constexpr std::uint32_t kPortUsb = 1;
inline constexpr std::uint32_t kPortSerial = 2;
inline constexpr std::uint32_t kPortEthernet = 3;

// One LDN key of one device class, as the OPOS service object reads it.
class LDNRecord {
 public:
  // The template of every new LDN.
  LDNRecord();
  // The LDN |ldnName| of |deviceClass| as the registry holds it; whatever cannot be read keeps
  // the initial value (empty strings, the numeric defaults).
  LDNRecord(const OposStore& store, const std::u16string& ldnName, const std::u16string& deviceClass);

  // Fills the record from the key named by KeyName, or from the key that an alias of that name
  // points at.
  void ReadLDN(const OposStore& store, const std::u16string& deviceClass);
  // Whether the last ReadLDN found a key, directly or through an alias: a record that found none
  // holds no one's settings and has no key to go back to.
  bool KeyFound() const { return keyFound_; }
  // Stores the record into the existing key |ldnName| ("ArdOPOS" when empty). False when the key
  // could not be opened for writing or a value could not be written.
  bool WriteLDN(const OposStore& store, const std::u16string& ldnName, const std::u16string& deviceClass);

  std::u16string KeyName;
  std::u16string DeviceClass;
  std::u16string DeviceDesc;
  std::u16string DeviceName;
  std::u16string LDNName;
  std::u16string PrinterProgID;
  std::u16string DrawerProgID;
  std::uint32_t CharCodePage = 437;
  std::uint32_t DotLineWidth = 576;
  std::uint32_t PortSetting = 1;
  std::uint32_t PortType = 0;
  std::uint32_t TimeOut = 1000;
  std::uint32_t VersionSO = kMadeByToolMarker;
  std::u16string Version = u"1.14.1";
  std::uint32_t Effects = 2;

 private:
  bool keyFound_ = false;
};

}  // namespace corvale
