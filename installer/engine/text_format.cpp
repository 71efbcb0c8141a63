#include "text_format.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace velmara {

std::string FormatText(const char* format, ...) {
  // A format string is a literal of the program, checked by the compiler at every call.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#ifdef _WIN32
  // msvcrt's own formatter, which the program imports anyway: the C++ headers would otherwise
  // bring in MinGW's C99 printf, with its floating-point conversions, for a few %s and %d. It
  // reports a text that does not fit by -1, so the buffer grows until it fits.
  std::vector<char> buffer(256);
  for (;;) {
    va_list args;
    va_start(args, format);
    const int length = _vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);
    if (length >= 0 && static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
#else
  va_list args;
  va_start(args, format);
  va_list measuring;
  va_copy(measuring, args);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  std::string text;
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<std::size_t>(length));
  }
  va_end(args);
  return text;
#endif
#pragma GCC diagnostic pop
}

}  // namespace velmara
