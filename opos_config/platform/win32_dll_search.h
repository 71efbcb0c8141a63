#pragma once

#include <windows.h>

#include "win32_system_procedure.h"

namespace corvale {

// Narrows where this process looks for a DLL that it, or a system component working in it, asks
// for by bare name: never in the current directory, from which Dunlith.exe is started, and where
// the system can do it, nowhere but in the system directory, so not beside the program either;
// and loads from the system directory now the DLLs that Windows components load by name as the
// program draws its windows. Called first thing, before any window exists.
void RestrictDllSearch(SystemProcedureLookup lookup = LookUpSystemProcedure);

// Loads |fileName| from the system directory, by its full path, for the rest of the run; null when
// it cannot.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

}  // namespace corvale
