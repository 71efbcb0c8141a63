#pragma once

#include <windows.h>

#include <string>

// The DLLs that are not among Windows' KnownDLLs, loaded by their full path in the system
// directory. Windows looks for a load-time import first in the program's own folder, and Velmara
// runs elevated from a medium or a download folder, where anyone may have left a winspool.drv:
// so the program imports only KnownDLLs and takes everything else from here.
namespace velmara {

// The system directory (GetSystemDirectoryW), empty when the system does not say.
std::wstring SystemDirectoryPath();

// One DLL of the system directory, loaded with LOAD_WITH_ALTERED_SEARCH_PATH so that the DLLs it
// depends on come from there too. Freed when destroyed; move-only.
class SystemLibrary {
 public:
  SystemLibrary() = default;
  // |fileName| is a bare file name such as L"winspool.drv".
  explicit SystemLibrary(const wchar_t* fileName);
  SystemLibrary(SystemLibrary&& other) noexcept;
  SystemLibrary& operator=(SystemLibrary&& other) noexcept;
  SystemLibrary(const SystemLibrary&) = delete;
  SystemLibrary& operator=(const SystemLibrary&) = delete;
  ~SystemLibrary();

  bool Loaded() const { return module_ != nullptr; }
  // Why the DLL is not loaded (ERROR_MOD_NOT_FOUND and the like); 0 when it is.
  DWORD LoadError() const { return loadError_; }

  // The exported function |name| as a pointer of type |Function|; null when the DLL or the
  // function is missing.
  template <typename Function>
  Function Find(const char* name) const {
    if (module_ == nullptr) return nullptr;
    // Through the one function type that converts to any other without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }

 private:
  void Reset();

  HMODULE module_ = nullptr;
  DWORD loadError_ = ERROR_MOD_NOT_FOUND;
};

// What a call through a function of a table below fails with when the function is missing: the
// DLL's own load error, or ERROR_PROC_NOT_FOUND when only the function is.
DWORD MissingFunctionError(const SystemLibrary& library);

}  // namespace velmara
