#pragma once

#include <windows.h>

#include <string>

// Runs a program of this build from the command line, as a script would, under Wine.
namespace pos::testing {

struct RunOutcome {
  // The program's exit code; STILL_ACTIVE when it had not ended in time, and was ended.
  DWORD exitCode = STILL_ACTIVE;
  // The bytes it wrote to its standard output and standard error.
  std::string output;
};

// Starts |exe| in |directory| with |parameters| after its quoted name, its standard output and
// standard error redirected to a file, and waits up to |milliseconds| for it to end.
RunOutcome RunRedirected(const std::wstring& exe, const std::wstring& directory, const std::wstring& parameters,
                         DWORD milliseconds = 60000);

// What a program started from a command prompt left on the prompt's console.
struct ConsoleOutcome {
  DWORD exitCode = STILL_ACTIVE;
  // The console's screen buffer as it stood when the program had ended, blanks included.
  std::wstring shown;
};

// Starts |exe| in |directory| as a GUI program started from a command prompt is: on a console of
// its own (this process's, made new for it) but with no standard handles, so that it has to find
// the console itself. This process's console and standard handles are as before afterwards.
ConsoleOutcome RunFromAPrompt(const std::wstring& exe, const std::wstring& directory, const std::wstring& parameters,
                              DWORD milliseconds = 60000);

}  // namespace pos::testing
