#include "opos_store.h"

#include <memory>

#include "ldn_record.h"

namespace corvale {

std::u16string OposStore::OposRoot() const {
  switch (system_.NativeProcessorArchitecture()) {
    case kArchitectureX86:
      return u"SOFTWARE\\OLEforRetail";
    // A 32-bit service object on a 64-bit Windows reads the 32-bit view of the registry.
    case kArchitectureAmd64:
    case kArchitectureIa64:
    case kArchitectureArm64:
      return u"SOFTWARE\\WOW6432Node\\OLEforRetail";
    default:
      return {};
  }
}

std::u16string OposStore::ClassKeyPath(const std::u16string& deviceClass) const {
  const std::u16string root = OposRoot();
  if (root.empty()) return {};
  return root + u"\\ServiceOPOS\\" + (deviceClass == kPrinterClass ? kPrinterClass : kDrawerClass);
}

bool OposStore::EnsureClassKeys(const std::u16string& deviceClass) const {
  std::u16string path = OposRoot();
  if (path.empty()) return true;
  for (const std::u16string& part :
       {std::u16string(), std::u16string(u"\\ServiceOPOS"),
        u"\\" + (deviceClass == kPrinterClass ? kPrinterClass : kDrawerClass)}) {
    path += part;
    std::unique_ptr<RegistryKey> key;
    registry_.CreateKey(path, reg::kReadWrite, &key, nullptr);
  }
  return true;
}

}  // namespace corvale
