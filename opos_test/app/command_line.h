#pragma once

#include <string>

namespace dunlith {

// The parameter text of a command line: everything after the program's name and the blanks that
// follow it, as Windows' own start-up code finds it.
std::u16string ParameterText(const std::u16string& commandLine);

}  // namespace dunlith
