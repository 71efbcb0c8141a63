#include "ldn_lookup.h"

#include <memory>
#include <optional>

#include "store/registry_values.h"

namespace dunlith {

namespace {

using corvale::reg::kRead;
using corvale::reg::kSuccess;

// The service object reads the alias into a buffer of 256 characters.
constexpr std::size_t kMaxKeyNameChars = 255;
constexpr std::uint32_t kDefaultTimeOut = 1000;

bool KeyExists(corvale::Registry& registry, const std::u16string& path) {
  std::unique_ptr<corvale::RegistryKey> key;
  return registry.OpenKey(path, kRead, &key) == kSuccess;
}

// A backslash would make the name a path to some other key below the class key.
bool CanNameAKey(const std::u16string& name) {
  return !name.empty() && name.find(u'\\') == std::u16string::npos && name.size() <= kMaxKeyNameChars;
}

}  // namespace

std::u16string ResolveLdnKey(const corvale::OposStore& store, const std::u16string& name,
                             const std::u16string& deviceClass) {
  const std::u16string base = store.ClassKeyPath(deviceClass);
  if (base.empty() || name.empty()) return {};
  corvale::Registry& registry = store.registry();
  if (CanNameAKey(name) && KeyExists(registry, base + u"\\" + name)) return name;

  std::unique_ptr<corvale::RegistryKey> classKey;
  if (registry.OpenKey(base, kRead, &classKey) != kSuccess) return {};
  std::optional<std::u16string> target = corvale::ReadString(*classKey, name, kMaxKeyNameChars);
  classKey.reset();
  if (!target || !CanNameAKey(*target) || !KeyExists(registry, base + u"\\" + *target)) return {};
  return *target;
}

std::uint32_t EffectiveTimeOut(std::uint32_t timeOut) {
  return timeOut == 0 ? kDefaultTimeOut : BoundedWait(timeOut);
}

TestTarget LookUpNamedLdn(const corvale::OposStore& store, const std::u16string& parameters) {
  TestTarget target = LookUpLdn(store, parameters);
  const bool quoted = parameters.size() >= 2 && parameters.front() == u'"' && parameters.back() == u'"';
  if (target.problem != LdnProblem::kUnknown || !quoted) return target;
  return LookUpLdn(store, parameters.substr(1, parameters.size() - 2));
}

TestTarget LookUpLdn(const corvale::OposStore& store, const std::u16string& name) {
  TestTarget target;
  target.name = name;
  if (name.empty()) {
    target.problem = LdnProblem::kNoName;
    return target;
  }
  if (store.ClassKeyPath(corvale::kPrinterClass).empty()) {
    target.problem = LdnProblem::kNoRegistryLocation;
    return target;
  }
  const std::u16string printerKey = ResolveLdnKey(store, name, corvale::kPrinterClass);
  if (printerKey.empty()) {
    target.problem = LdnProblem::kUnknown;
    return target;
  }
  target.printer = corvale::LDNRecord(store, printerKey, corvale::kPrinterClass);
  const corvale::LDNRecord& printer = target.printer;
  if (!corvale::CarriesMadeByToolMarker(printer.VersionSO)) {
    target.problem = LdnProblem::kNotMadeByTool;
    return target;
  }

  const std::u16string drawerKey = ResolveLdnKey(store, name, corvale::kDrawerClass);
  if (!drawerKey.empty()) {
    const corvale::LDNRecord drawer(store, drawerKey, corvale::kDrawerClass);
    target.hasDrawer = corvale::CarriesMadeByToolMarker(drawer.VersionSO);
  }

  PortConfig& port = target.port;
  port.timeoutMs = EffectiveTimeOut(printer.TimeOut);
  target.timeOutCapped = port.timeoutMs < printer.TimeOut;
  switch (printer.PortType) {
    case 0:
      target.problem = LdnProblem::kNotApplied;
      return target;
    case corvale::kPortUsb:
      port.kind = PortKind::kUsb;
      break;
    case corvale::kPortSerial:
      port.kind = PortKind::kSerial;
      port.comNumber = printer.PortSetting & 0xFF;
      port.baud = BaudOfCode((printer.PortSetting >> 8) & 0xFF);
      if (port.comNumber == 0) {
        target.problem = LdnProblem::kNoSerialPort;
        return target;
      }
      if (port.baud == 0) {
        target.problem = LdnProblem::kNoBaudRate;
        return target;
      }
      break;
    case corvale::kPortEthernet:
      port.kind = PortKind::kEthernet;
      port.address = printer.PortSetting;
      if (port.address == 0) {
        target.problem = LdnProblem::kNoAddress;
        return target;
      }
      break;
    default:
      target.problem = LdnProblem::kUnknownPortType;
      return target;
  }
  target.problem = LdnProblem::kNone;
  return target;
}

}  // namespace dunlith
