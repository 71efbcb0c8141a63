#include "command_line.h"

namespace dunlith {

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace

std::u16string ParameterText(const std::u16string& commandLine) {
  std::size_t at = 0;
  // The program's name: in quotes up to the closing quote, else up to the first blank.
  if (!commandLine.empty() && commandLine[0] == u'"') {
    at = commandLine.find(u'"', 1);
    at = at == std::u16string::npos ? commandLine.size() : at + 1;
  } else {
    while (at < commandLine.size() && !IsBlank(commandLine[at])) ++at;
  }
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  return commandLine.substr(at);
}

}  // namespace dunlith
