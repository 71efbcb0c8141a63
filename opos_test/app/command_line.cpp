#include "command_line.h"

namespace dunlith {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::u16string ParameterText(const std::u16string& commandLine) {
  std::size_t at = 0;
  bool quoted = false;
  for (; at < commandLine.size(); ++at) {
    if (commandLine[at] == u'"') {
      quoted = !quoted;
    } else if (!quoted && IsBlank(commandLine[at])) {
      break;
    }
  }
  if (at == commandLine.size()) return {};
  return commandLine.substr(at + 1);
}

}  // namespace dunlith
