#pragma once

namespace corvale {

// A function of a system DLL that the process has loaded, or null where this Windows lacks it.
using SystemProcedure = void (*)();
using SystemProcedureLookup = SystemProcedure (*)(const wchar_t* module, const char* name);
// GetModuleHandleW and GetProcAddress. Where a function first came with a later Windows than XP,
// the code that asks takes the lookup as a parameter, so that a test can play the older Windows.
SystemProcedure LookUpSystemProcedure(const wchar_t* module, const char* name);

}  // namespace corvale
