#pragma once

#include <cstdint>
#include <string>

#include "engine/driver_catalog.h"

namespace velmara {

// What the installation dialog shows and preselects when it opens.
struct OsRecommendation {
  std::string detectedArch;  // empty when the detection failed
  std::string detectedOs;    // empty when the detection failed
  std::string statusText;    // in the language of |uiLanguage|
  int osIndex = 0;           // the OS radio button to check: 0 "Windows 10" ... 5 "Windows 8/8.1"
};

// Detects the system with |catalog| and derives the dialog's status text (Chinese when
// |uiLanguage| is Chinese, English otherwise) and OS choice.
OsRecommendation RecommendOs(const CDriverCatalog& catalog, std::uint16_t uiLanguage);

}  // namespace velmara
