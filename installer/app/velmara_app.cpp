#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "command_run.h"
#include "main_window.h"
#include "program_end.h"
#include "platform/shell.h"
#include "platform/win32_console.h"
#include "platform/win32_device_interfaces.h"
#include "platform/win32_device_output.h"
#include "platform/win32_dll_search.h"
#include "platform/win32_files.h"
#include "platform/win32_gdi_handles.h"
#include "platform/win32_machine_registry.h"
#include "platform/win32_printing.h"
#include "platform/win32_spooler.h"
#include "platform/win32_system_functions.h"
#include "platform/win32_system_info.h"
#include "platform/win32_text.h"
#include "platform/win32_threads.h"
#include "platform/win32_ui_services.h"
#include "resources/resource.h"
#include "win32_main_window.h"

namespace velmara {

namespace {

// Before anything else of the program or of its runtime runs, so before any window exists: the
// stack protector's set-up, a constructor of the runtime, already asks Windows' cryptographic
// provider for a random canary, and the provider loads DLLs by name.
__attribute__((constructor(101))) void RestrictDllSearchFirst() { RestrictDllSearch(); }

}  // namespace

// The application: the main window runs as a modal dialog, and when it closes the program ends.
class CTarvennPrinterDriverSetupApp {
 public:
  int Run(HINSTANCE instance) {
    if (const auto initCommonControls = CommonControls().InitCommonControlsEx) {
      INITCOMMONCONTROLSEX controls{};
      controls.dwSize = sizeof(controls);
      controls.dwICC = ICC_WIN95_CLASSES;
      initCommonControls(&controls);
    }

    Win32SystemInfo system;
    Win32Spooler spooler;
    Win32Files files;
    Win32MessageBoxes messages;
    Win32Pauses pauses;
    const auto debug = std::make_shared<Win32DebugOutput>();
    Win32Printing printing;
    Win32DeviceInterfaces deviceInterfaces;
    Win32MachineRegistry machineRegistry;
    const auto deviceOutput = std::make_shared<Win32DeviceOutput>();
    Win32Threads threads;
    Win32Shell shell;
    const EngineServices engine{system, spooler, files, messages, pauses, *debug, printing};
    const UsbServices usb{deviceInterfaces, machineRegistry, deviceOutput, threads, messages, pauses, debug};
    const MainServices main{system, shell, pauses};

    // Without arguments the program is the dialog it has always been.
    const std::vector<std::string> arguments = SplitCommandLine(Narrow(GetCommandLineW()));
    int exitCode = kExitDone;
    if (arguments.empty()) {
      CTarvennPrinterDriverSetupDlg dialog(main, engine, usb);
      Win32MainWindow window(dialog);
      window.RunModal(instance, IDD_MAIN, nullptr);
    } else {
      Win32Console console;
      const UniqueBitmap logo(static_cast<HBITMAP>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDB_TEST_PAGE_LOGO), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
      exitCode = RunVelmaraCommandLine(arguments, CommandServices{engine, usb, console, PageBitmapFromHandle(logo.Get())});
    }
    WaitForWritersAtEnd(threads);
    return exitCode;
  }
};

}  // namespace velmara

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    velmara::LoadSystemLibraries();
    return velmara::CTarvennPrinterDriverSetupApp().Run(instance);
  } catch (...) {
    return velmara::kExitUnexpected;
  }
}
