#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace velmara {

// The arguments that follow the program's name on its command line, split as Windows'
// CommandLineToArgvW splits it: blanks and tabs separate arguments outside quotation marks; 2n
// backslashes before a quotation mark give n backslashes and the mark opens or closes a quoted
// part, 2n+1 give n backslashes and a literal mark; two marks inside a quoted part give one
// literal mark and close it; other backslashes are literal. The program's name itself ends at the
// next quotation mark when it starts with one, else at the first blank or tab. The text is UTF-8:
// none of the characters that matter is ever part of a longer UTF-8 sequence.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// What a command line asks Velmara to do.
enum class CommandKind {
  kDialog,        // no arguments: the installation dialog, as always
  kInstall,       // /install MODEL ...
  kCheckUsb,      // /checkusb ...
  kUsage,         // /?
  kBadArguments,  // anything else
};

struct VelmaraCommand {
  CommandKind kind = CommandKind::kDialog;
  int modelIndex = -1;
  // "USB" (the connected printer's port), "LPT1:" or a named USB port such as "USB001".
  std::string port = "USB";
  bool setDefault = false;
  bool testPage = false;
  bool quiet = false;
  // Where the result lines are appended as well; empty for none.
  std::string logFile;
  // What was not understood, for kBadArguments.
  std::string problem;
};

// Reads the arguments. Option names and models ignore letter case; |models| are the seven model
// names in the order of the model indexes.
VelmaraCommand ParseVelmaraArguments(const std::vector<std::string>& arguments,
                                     const std::array<std::string, 7>& models);

// The usage text, lines separated by "\n".
std::string VelmaraUsage();

}  // namespace velmara
