#include "win32_system.h"

#include <vector>

namespace dunlith {

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  const UINT needed = GetSystemDirectoryW(nullptr, 0);
  if (needed == 0) return nullptr;
  std::vector<wchar_t> directory(needed);
  const UINT length = GetSystemDirectoryW(directory.data(), needed);
  if (length == 0 || length >= needed) return nullptr;
  std::wstring path(directory.data(), length);
  path += L"\\";
  path += fileName;
  return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

PortError SystemError(DWORD code) {
  PortError error;
  error.code = code;
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (length != 0 && text != nullptr) error.text.assign(text, text + length);
  if (text != nullptr) LocalFree(text);
  return error;
}

}  // namespace dunlith
