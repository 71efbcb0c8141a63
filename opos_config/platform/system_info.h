#pragma once

#include <cstdint>

namespace corvale {

// wProcessorArchitecture values of GetNativeSystemInfo.
inline constexpr std::uint16_t kArchitectureX86 = 0;
inline constexpr std::uint16_t kArchitectureIa64 = 6;
inline constexpr std::uint16_t kArchitectureAmd64 = 9;
inline constexpr std::uint16_t kArchitectureArm64 = 12;
inline constexpr std::uint16_t kArchitectureUnknown = 0xFFFF;

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The processor architecture of the running Windows, not of this process.
  virtual std::uint16_t NativeProcessorArchitecture() const = 0;
};

// GetNativeSystemInfo.
class Win32SystemInfo final : public SystemInfo {
 public:
  std::uint16_t NativeProcessorArchitecture() const override;
};

}  // namespace corvale
