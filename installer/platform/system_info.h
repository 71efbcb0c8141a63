#pragma once

#include <cstdint>
#include <string>

namespace velmara {

// wProcessorArchitecture values of GetNativeSystemInfo.
inline constexpr std::uint16_t kArchitectureX86 = 0;
inline constexpr std::uint16_t kArchitectureIa64 = 6;
inline constexpr std::uint16_t kArchitectureAmd64 = 9;
inline constexpr std::uint16_t kArchitectureUnknown = 0xFFFF;

// The Windows language identifier of simplified Chinese (China).
inline constexpr std::uint16_t kLanguageChinese = 0x0804;

struct WindowsVersion {
  std::uint32_t major = 0;
  std::uint32_t minor = 0;
};

// GetLocalTime, the fields the program prints.
struct LocalDateTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// What Velmara asks the system about the machine it runs on.
class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The processor architecture of the running Windows (GetNativeSystemInfo), so that a 32-bit
  // program on 64-bit Windows learns that the system is 64-bit.
  virtual std::uint16_t NativeProcessorArchitecture() = 0;
  // GetVersionExW; false, with |version| untouched, when the query fails.
  virtual bool QueryWindowsVersion(WindowsVersion* version) = 0;
  // GetUserDefaultUILanguage.
  virtual std::uint16_t UserUiLanguage() = 0;
  virtual LocalDateTime LocalTime() = 0;
  // The system's text for a Win32 error code (FormatMessageW, default language), as the system
  // gives it; empty when the system has none.
  virtual std::string ErrorText(std::uint32_t code) = 0;
};

}  // namespace velmara
