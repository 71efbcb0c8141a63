#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "platform/win32_dll_search.h"
#include "platform/win32_handles.h"
#include "transports.h"

namespace dunlith {

// Owns one kernel handle: a file, a device, an event. Both of the system's "no handle" values
// count as empty.
using UniqueHandle = corvale::UniqueFile;

// A DLL of the system directory, loaded by its full path so that no copy planted beside the
// program or in the current directory is taken. It stays loaded while the program runs.
using corvale::LoadSystemLibrary;

// A function of |module|, or null.
template <typename Function>
Function SystemFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// |code| with the system's words for it, in the user's language.
PortError SystemError(DWORD code);

inline std::wstring WideOf(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }
inline std::u16string U16Of(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace dunlith
