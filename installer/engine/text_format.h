#pragma once

#include <string>

namespace velmara {

// printf-style formatting into a string of any length; the installer's texts are UTF-8, so %s
// takes UTF-8 and the result is UTF-8.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace velmara
