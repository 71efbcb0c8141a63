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

}  // namespace pos::testing
