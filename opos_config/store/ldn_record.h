#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

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
  bool KeyFound() const { return loaded_.has_value(); }
  // Whether the key that the last ReadLDN found by its name stands in front of an alias of the
  // same name that names another key: the LDN that a listing of aliases shows is not this key.
  bool ShadowsAlias() const { return shadowsAlias_; }
  // Stores the record into the existing key |ldnName| ("ArdOPOS" when empty). Written back to the
  // key it was read from, the record changes only the values whose fields differ from what it read
  // and the values that are missing; a value it could not take whole (too long, another type) stays
  // exactly as stored. A key that holds values but not the made-by-tool marker is never written.
  // False when the key could not be opened for writing, is not this tool's, or a value could not
  // be written.
  bool WriteLDN(const OposStore& store, const std::u16string& ldnName, const std::u16string& deviceClass);
  // The values that the last WriteLDN left as stored although the record holds another setting for
  // them, because the record could not read what is stored there.
  const std::vector<std::u16string>& KeptAsStored() const { return keptAsStored_; }

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

  // The key's values in the order WriteLDN writes them.
  static constexpr std::size_t kTextValues = 5;    // the default value, DeviceClass ... LDNName
  static constexpr std::size_t kNumberValues = 7;  // CharCodePage ... VersionSO
  static constexpr std::size_t kValues = kTextValues + kNumberValues + 1;  // and Version

 private:
  // What ReadLDN found of a value.
  enum class Stored : std::uint8_t { kMissing, kTaken, kForeign };
  struct Loaded {
    std::u16string key;  // the key the values came from
    std::u16string deviceClass;
    std::array<Stored, kValues> stored{};
    std::array<std::u16string, kTextValues> text;
    std::array<std::uint32_t, kNumberValues> number{};
  };

  std::optional<Loaded> loaded_;
  bool shadowsAlias_ = false;
  std::vector<std::u16string> keptAsStored_;
};

}  // namespace corvale
