#pragma once

#include <string>
#include <vector>

#include "engine/driver_catalog.h"
#include "platform/console.h"
#include "platform/printing.h"
#include "usb/usb_services.h"

namespace velmara {

// How a run from the command line ends.
inline constexpr int kExitDone = 0;
inline constexpr int kExitUnexpected = 1;  // an error that nothing foresaw ended the program
inline constexpr int kExitBadArguments = 2;
inline constexpr int kExitModelNotOnMedium = 3;
inline constexpr int kExitNoUsbPrinter = 4;
inline constexpr int kExitDriverFilesMissing = 5;
inline constexpr int kExitSpoolerRefused = 6;
inline constexpr int kExitTestPageFailed = 7;

// What a run from the command line works with: the services of the dialog's run, the message boxes
// among them the real ones, and the console it was started from.
struct CommandServices {
  EngineServices engine;
  UsbServices usb;
  Console& console;
  PageBitmap testPageLogo;
};

// Does what the arguments ask (there is at least one) without the dialog: the installation with the
// dialog's engine and the OS choice the dialog would recommend, or the port-identification pages.
// Each line of the outcome goes to the console, where there is one, and to the log file that /log
// names; the usual message boxes appear unless /quiet is given. Returns the exit code.
int RunVelmaraCommandLine(const std::vector<std::string>& arguments, const CommandServices& services);

}  // namespace velmara
