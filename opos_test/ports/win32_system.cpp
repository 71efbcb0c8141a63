#include "win32_system.h"

#include <vector>

namespace dunlith {

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
