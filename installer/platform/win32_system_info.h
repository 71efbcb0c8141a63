#pragma once

#include "system_info.h"

namespace velmara {

class Win32SystemInfo final : public SystemInfo {
 public:
  std::uint16_t NativeProcessorArchitecture() override;
  bool QueryWindowsVersion(WindowsVersion* version) override;
  std::uint16_t UserUiLanguage() override;
  LocalDateTime LocalTime() override;
  std::string ErrorText(std::uint32_t code) override;
};

}  // namespace velmara
