#include <windows.h>

#include "app/command_line.h"
#include "app/dunlith_dlg.h"
#include "app/win32_dunlith_window.h"
#include "platform/system_info.h"
#include "platform/win32_dll_search.h"
#include "platform/win32_registry.h"
#include "ports/win32_transports.h"
#include "receipt/receipt.h"
#include "store/opos_store.h"

namespace dunlith {

namespace {

std::string Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return FormatTimestamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// The application: one modal dialog; its outcome is the exit code.
class CDunlithApp {
 public:
  int Run(HINSTANCE instance) {
    const wchar_t* commandLine = GetCommandLineW();
    const std::wstring line = commandLine != nullptr ? commandLine : L"";
    const std::u16string parameters = ParameterText(std::u16string(line.begin(), line.end()));

    corvale::Win32Registry registry;
    corvale::Win32SystemInfo system;
    corvale::OposStore store(registry, system);
    Win32Network network;
    Win32SerialPorts serial;
    Win32UsbPrinters usb;
    Transports transports{network, serial, usb};
    CDunlithDlg commands(store, LanguageOf(GetUserDefaultUILanguage()), Now());
    Win32DunlithWindow window(commands, transports, parameters);
    const int exitCode = window.Run(instance);
    // A send still running uses the transports above: the process ends before they do, which
    // also ends the send.
    if (commands.sending()) ExitProcess(static_cast<UINT>(exitCode));
    return exitCode;
  }
};

}  // namespace

}  // namespace dunlith

namespace {

// Corvale starts Dunlith elevated, often from a folder anybody may write to: no DLL may come from
// the program's folder or the current directory. Before anything else of the program or of its
// runtime runs: the stack protector's set-up, a constructor of the runtime, already asks Windows'
// cryptographic provider for a random canary, and the provider loads DLLs by name.
__attribute__((constructor(101))) void RestrictDllSearchFirst() { corvale::RestrictDllSearch(); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    return dunlith::CDunlithApp().Run(instance);
  } catch (...) {
    return dunlith::kExitPortFailure;
  }
}
