#include "text_format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace velmara {

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measuring;
  va_copy(measuring, args);
  // A format string is a literal of the program, checked by the compiler at every call.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  }
#pragma GCC diagnostic pop
  va_end(args);
  return text;
}

}  // namespace velmara
