#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvale {

// The arguments that follow the program's name on its command line, split as Windows'
// CommandLineToArgvW splits it: blanks and tabs separate arguments outside quotation marks; 2n
// backslashes before a quotation mark give n backslashes and the mark opens or closes a quoted
// part, 2n+1 give n backslashes and a literal mark; two marks inside a quoted part give one
// literal mark and close it; other backslashes are literal. The program's name itself ends at the
// next quotation mark when it starts with one, else at the first blank or tab.
std::vector<std::u16string> SplitCommandLine(std::u16string_view commandLine);

// What a command line asks Corvale to do.
enum class CommandKind {
  kDialog,        // no arguments: the main dialog, as always
  kExport,        // /export FILE
  kImport,        // /import FILE
  kList,          // /list
  kUsage,         // /?
  kBadArguments,  // anything else
};

struct CorvaleCommand {
  CommandKind kind = CommandKind::kDialog;
  // The settings file of /export and /import.
  std::u16string file;
  bool quiet = false;
  // Where the result lines are appended as well; empty for none.
  std::u16string logFile;
  // What was not understood, for kBadArguments.
  std::u16string problem;
};

// Reads the arguments; option names ignore letter case.
CorvaleCommand ParseCorvaleArguments(const std::vector<std::u16string>& arguments);

// The usage text, lines separated by "\n".
std::u16string CorvaleUsage();

}  // namespace corvale
