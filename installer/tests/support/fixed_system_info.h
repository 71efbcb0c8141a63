#pragma once

#include <map>
#include <string>

#include "platform/system_info.h"

namespace velmara {

// A machine described by its fields; the version query fails while |versionFails| is set.
class FixedSystemInfo final : public SystemInfo {
 public:
  std::uint16_t NativeProcessorArchitecture() override { return architecture; }
  bool QueryWindowsVersion(WindowsVersion* out) override {
    if (versionFails) return false;
    *out = version;
    return true;
  }
  std::uint16_t UserUiLanguage() override { return uiLanguage; }
  LocalDateTime LocalTime() override { return now; }
  std::string ErrorText(std::uint32_t code) override {
    const auto it = errorTexts.find(code);
    return it == errorTexts.end() ? std::string() : it->second;
  }

  std::uint16_t architecture = kArchitectureAmd64;
  WindowsVersion version{10, 0};
  bool versionFails = false;
  std::uint16_t uiLanguage = 0x0409;
  LocalDateTime now{2016, 3, 5, 9, 7, 3};
  // The texts Windows gives for the errors the stand-ins report.
  std::map<std::uint32_t, std::string> errorTexts{
      {2, "The system cannot find the file specified.\r\n"},
      {3, "The system cannot find the path specified.\r\n"},
      {5, "Access is denied.\r\n"},
      {1796, "The specified port is unknown.\r\n"},
      {1797, "The printer driver is unknown.\r\n"},
      {1801, "The printer name is invalid.\r\n"},
      {1802, "The printer already exists.\r\n"},
      {1805, "The environment specified is invalid.\r\n"},
  };
};

}  // namespace velmara
