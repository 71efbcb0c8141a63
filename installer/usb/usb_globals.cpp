#include "usb_globals.h"

namespace velmara {

bool g_skipLinkedCheck = false;
std::uint16_t g_uiLanguage = kChineseUiLanguage;

}  // namespace velmara
