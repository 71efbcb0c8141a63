#include <windows.h>

#include "system_info.h"

namespace corvale {

std::uint16_t Win32SystemInfo::NativeProcessorArchitecture() const {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture;
}

}  // namespace corvale
