#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/message_boxes.h"
#include "store/opos_store.h"

namespace corvale {

// How a run from the command line ends.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUnexpected = 1;  // an error that nothing foresaw ended the program
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitFileUnusable = 3;     // the settings file cannot be read or written
inline constexpr int kExitFileHasErrors = 4;    // a line of the settings file is wrong: nothing was written
inline constexpr int kExitRegistryRefused = 5;  // the registry refused a change

// A settings file larger than this is no settings file.
inline constexpr std::size_t kMaxSettingsFileBytes = 1024 * 1024;

struct CommandServices {
  OposStore& store;
  Files& files;
  Console& console;
  MessageBoxes& messages;
  Clock& clock;
};

// Does what the arguments ask (there is at least one) without the dialog: exports the LDNs that
// this tool made to a settings file, imports one, or lists them. Each line of the outcome goes to
// the console, where there is one, and to the log file that /log names; a failure is shown in a
// message box as well unless /quiet is given. Returns the exit code.
int RunCorvaleCommandLine(const std::vector<std::u16string>& arguments, const CommandServices& services);

}  // namespace corvale
