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

// A machine of a given architecture.
class FixedSystemInfo final : public SystemInfo {
 public:
  explicit FixedSystemInfo(std::uint16_t architecture) : architecture_(architecture) {}
  std::uint16_t NativeProcessorArchitecture() const override { return architecture_; }
  void SetArchitecture(std::uint16_t architecture) { architecture_ = architecture; }

 private:
  std::uint16_t architecture_;
};

// GetNativeSystemInfo.
class Win32SystemInfo final : public SystemInfo {
 public:
  std::uint16_t NativeProcessorArchitecture() const override;
};

}  // namespace corvale
