#pragma once

#include <cstdint>
#include <string>

namespace velmara {

// The body of the test page in the UI language: Chinese when |uiLanguage| is Chinese, English
// otherwise. Its first lines leave room for the logo; the printer's name is printed below the
// line that announces it.
std::string TestPageText(std::uint16_t uiLanguage);

}  // namespace velmara
