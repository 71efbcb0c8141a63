#include "os_detection.h"

#include "engine/text_format.h"

namespace velmara {

namespace {

const char* ArchitectureName(std::uint16_t architecture) {
  switch (architecture) {
    case kArchitectureX86:
      return kArchX86;
    case kArchitectureIa64:
      return kArchIa64;
    case kArchitectureAmd64:
      return kArchX64;
    case kArchitectureUnknown:
      return kArchUnknownValue;
    default:
      return kArchOther;
  }
}

// The position in the OS-name list for a version, or -1 for a release the program does not know.
int OsPosition(const WindowsVersion& v) {
  switch (v.major) {
    case 5:
      return v.minor <= 2 ? static_cast<int>(v.minor) : -1;
    case 6:
      return v.minor <= 2 ? 3 + static_cast<int>(v.minor) : 6;
    case 10:
      return v.minor == 0 ? 7 : 8;
    default:
      return -1;
  }
}

// The OS radio button for each position of the OS-name list. Windows 2000 and everything from
// Windows 10 on share the first button.
constexpr int kOsIndexOfPosition[kOsNameCount] = {0, 1, 2, 3, 4, 5, 5, 0, 0};

}  // namespace

bool CDriverCatalog::DetectOsAndArch(std::string& archName, std::string& osName) const {
  const std::uint16_t architecture = services_.system.NativeProcessorArchitecture();
  WindowsVersion version;
  if (!services_.system.QueryWindowsVersion(&version)) return false;
  const int position = OsPosition(version);
  osName = position < 0 ? kOsUnknown : m_osName[static_cast<std::size_t>(position)];
  archName = ArchitectureName(architecture);
  return true;
}

OsRecommendation RecommendOs(const CDriverCatalog& catalog, std::uint16_t uiLanguage) {
  OsRecommendation r;
  catalog.DetectOsAndArch(r.detectedArch, r.detectedOs);
  const char* os = r.detectedOs.c_str();
  const char* arch = r.detectedArch.c_str();
  r.statusText = uiLanguage == kLanguageChinese
                     ? FormatText("您正使用的是%s %s系统。\n推荐选择%s进行安装。", os, arch, os)
                     : FormatText("You are using %s %s OS.\nPlease select %s to install.", os, arch, os);
  for (int p = 0; p < kOsNameCount; ++p) {
    if (catalog.m_osName[static_cast<std::size_t>(p)] == r.detectedOs) {
      r.osIndex = kOsIndexOfPosition[p];
      break;
    }
  }
  return r;
}

}  // namespace velmara
