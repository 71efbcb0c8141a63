#pragma once

#include <windows.h>
#include <commctrl.h>
#include <setupapi.h>
#include <winspool.h>

#include "win32_system_library.h"

// The functions Velmara takes from DLLs that are not KnownDLLs, one table per DLL. A function the
// DLL lacks, or every function of a DLL that could not be loaded, is null; the adapters then fail
// with |missing|, the error the call would have met, and never call through a null pointer.
namespace velmara {

// winspool.drv. Printer names are UTF-16 throughout, so the default printer is set through the
// named wide export, not through the ANSI function behind the spooler's ordinal 202.
struct WinspoolFunctions {
  decltype(&::GetPrinterDriverDirectoryW) GetPrinterDriverDirectoryW = nullptr;
  decltype(&::AddPrinterDriverW) AddPrinterDriverW = nullptr;
  decltype(&::EnumPrintersW) EnumPrintersW = nullptr;
  decltype(&::AddPrinterW) AddPrinterW = nullptr;
  decltype(&::ClosePrinter) ClosePrinter = nullptr;
  decltype(&::SetDefaultPrinterW) SetDefaultPrinterW = nullptr;
  DWORD missing = ERROR_MOD_NOT_FOUND;
};

// setupapi.dll, which Windows XP does not count among its KnownDLLs.
struct SetupApiFunctions {
  decltype(&::SetupDiGetClassDevsW) SetupDiGetClassDevsW = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) SetupDiEnumDeviceInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailW) SetupDiGetDeviceInterfaceDetailW = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) SetupDiDestroyDeviceInfoList = nullptr;
  DWORD missing = ERROR_MOD_NOT_FOUND;
};

// comctl32.dll, version 5: Velmara's controls keep the classic look.
struct CommonControlsFunctions {
  decltype(&::InitCommonControlsEx) InitCommonControlsEx = nullptr;
  DWORD missing = ERROR_MOD_NOT_FOUND;
};

// The tables of a loaded library; the library must outlive the table.
WinspoolFunctions LoadWinspoolFunctions(const SystemLibrary& winspool);
SetupApiFunctions LoadSetupApiFunctions(const SystemLibrary& setupApi);
CommonControlsFunctions LoadCommonControlsFunctions(const SystemLibrary& commonControls);

// The program's own tables: each DLL is loaded from the system directory the first time its table
// is asked for and stays loaded until the program ends.
const WinspoolFunctions& Winspool();
const SetupApiFunctions& SetupApi();
const CommonControlsFunctions& CommonControls();

// Loads all three now. A system component that later asks for one of them by its bare name (GDI
// loads winspool.drv when it prints) then finds the one already loaded instead of searching for it.
void LoadSystemLibraries();

}  // namespace velmara
