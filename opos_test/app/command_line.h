#pragma once

#include <string>

namespace dunlith {

// The parameter text of a command line: everything after the program's name and the one blank
// that separates it. Corvale hands an LDN's name over as the whole parameter text, and a name may
// itself begin with a blank. The program's name ends, as Microsoft's C start-up code reads it, at
// the first space or tab outside double quotes.
std::u16string ParameterText(const std::u16string& commandLine);

}  // namespace dunlith
