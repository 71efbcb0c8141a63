#pragma once

#include <windows.h>

#include <string>
#include <utility>

#include "transports.h"

namespace dunlith {

// Owns one kernel handle: a file, a device, an event. Both of the system's "no handle" values
// count as empty.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.handle_, nullptr));
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle_; }
  void Reset(HANDLE handle = nullptr) {
    if (Valid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

// A DLL of the system directory, loaded by its full path so that no copy planted beside the
// program or in the current directory is taken. It stays loaded while the program runs.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

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
