#pragma once

#include <cstdint>

namespace velmara {

// Set by the installation dialog on Windows 8 and later, never cleared: there the "Linked" value
// of a USB printer's interface is not a reliable sign that the printer is on line.
extern bool g_skipLinkedCheck;

// The UI language the port-identification texts are chosen by; the Check USB port command copies
// the dialog's language here just before it prints the pages. 2052 selects Chinese.
extern std::uint16_t g_uiLanguage;

inline constexpr std::uint16_t kChineseUiLanguage = 2052;  // 0x0804, Chinese (PRC)

}  // namespace velmara
