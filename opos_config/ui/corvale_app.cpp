#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/command_run.h"
#include "cli/win32_message_boxes.h"
#include "platform/clock.h"
#include "platform/shell.h"
#include "platform/system_info.h"
#include "platform/win32_console.h"
#include "platform/win32_dll_search.h"
#include "platform/win32_files.h"
#include "platform/win32_registry.h"
#include "resources/resource.h"
#include "store/opos_store.h"
#include "win32_corvale_window.h"

namespace corvale {

// The application: one modal dialog, and the program ends when it closes.
class CCorvaleApp {
 public:
  int Run(HINSTANCE instance) {
    // Without arguments the program is the dialog it has always been; from the command line it
    // shows no window but message boxes, and needs no common controls.
    const std::u16string commandLine(reinterpret_cast<const char16_t*>(GetCommandLineW()));
    const std::vector<std::u16string> arguments = SplitCommandLine(commandLine);
    if (!arguments.empty()) {
      Win32Registry registry;
      Win32SystemInfo system;
      OposStore store(registry, system);
      Win32Files files;
      Win32Console console;
      Win32MessageBoxes messages;
      Win32Clock clock;
      return RunCorvaleCommandLine(arguments, CommandServices{store, files, console, messages, clock});
    }

    // The common controls come from the system directory once the search is narrowed, never as an
    // import that Windows would resolve, with what it loads in turn, before any code of the program
    // runs; the manifest still binds version 6. The IP-address control is one of the Internet
    // classes.
    using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const HMODULE commonControls = LoadSystemLibrary(L"comctl32.dll");
    const auto initCommonControlsEx = commonControls != nullptr
        ? reinterpret_cast<InitCommonControlsExFn>(
              reinterpret_cast<void*>(GetProcAddress(commonControls, "InitCommonControlsEx")))
        : nullptr;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES;
    if (initCommonControlsEx == nullptr || !initCommonControlsEx(&controls)) {
      MessageBoxW(nullptr, L"The Windows common controls (comctl32.dll) cannot be loaded.", L"Corvale",
                  MB_OK | MB_ICONERROR);
      return 1;
    }

    Win32Registry registry;
    Win32SystemInfo system;
    OposStore store(registry, system);

    Win32Shell shell;
    Win32CorvaleWindow window(store, shell);
    window.RunModal(instance, IDD_CORVALE, nullptr);
    return 0;
  }
};

}  // namespace corvale

namespace {

// Before anything else of the program or of its runtime runs, so before any window exists: the
// stack protector's set-up, a constructor of the runtime, already asks Windows' cryptographic
// provider for a random canary, and the provider loads DLLs by name.
__attribute__((constructor(101))) void RestrictDllSearchFirst() { corvale::RestrictDllSearch(); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    return corvale::CCorvaleApp().Run(instance);
  } catch (...) {
    return corvale::kExitUnexpected;
  }
}
