#include <windows.h>

#include "app/command_line.h"
#include "app/dunlith_dlg.h"
#include "app/win32_dunlith_window.h"
#include "platform/system_info.h"
#include "platform/win32_registry.h"
#include "ports/win32_transports.h"
#include "receipt/receipt.h"
#include "store/opos_store.h"

namespace dunlith {

namespace {

// Corvale starts Dunlith elevated, often from a folder anybody may write to: no DLL may come
// from the program's folder or the current directory. Both functions are looked up, since
// Windows XP without updates has neither.
void HardenDllSearch() {
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  if (kernel == nullptr) return;
  using SetDllDirectoryFn = BOOL(WINAPI*)(LPCWSTR);
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
  if (auto setDllDirectory = reinterpret_cast<SetDllDirectoryFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryW")))) {
    setDllDirectory(L"");
  }
  if (auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
          reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))) {
    setDefault(kSearchSystem32);
  }
}

std::string Now() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return FormatTimestamp(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// The application: one modal dialog; its outcome is the exit code.
class CDunlithApp {
 public:
  int Run(HINSTANCE instance) {
    HardenDllSearch();
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

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  try {
    return dunlith::CDunlithApp().Run(instance);
  } catch (...) {
    return dunlith::kExitPortFailure;
  }
}
