#include "win32_console.h"

#include <string>

namespace corvale {

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

Win32Console::Win32Console() {
  HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
  if (given != nullptr && given != INVALID_HANDLE_VALUE && GetFileType(given) != FILE_TYPE_UNKNOWN) {
    output_ = given;
    isConsole_ = IsConsole(given);
    // A character device may be the parent's console, usable only once the program is attached to
    // it, or a device such as NUL, which takes the bytes.
    if (!isConsole_ && GetFileType(given) == FILE_TYPE_CHAR && AttachConsole(ATTACH_PARENT_PROCESS)) {
      isConsole_ = IsConsole(given);
    }
    return;
  }
  // A program that is attached to a console already (Wine attaches a GUI program to its parent's)
  // is refused with ERROR_ACCESS_DENIED, and writes to that one.
  if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED) return;
  opened_.Reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr));
  if (!opened_.Valid()) return;
  output_ = opened_.Get();
  isConsole_ = true;
}

void Win32Console::Write(std::u16string_view text) {
  if (output_ == nullptr) return;
  if (isConsole_) {
    // Older consoles take a few thousand characters a call at most; a surrogate pair goes whole.
    while (!text.empty()) {
      std::size_t chunk = text.size() < 4096 ? text.size() : 4096;
      if (chunk > 1 && chunk < text.size() && text[chunk - 1] >= 0xD800 && text[chunk - 1] <= 0xDBFF) --chunk;
      DWORD written = 0;
      if (!WriteConsoleW(output_, reinterpret_cast<const wchar_t*>(text.data()), static_cast<DWORD>(chunk), &written,
                         nullptr) ||
          written == 0) {
        return;
      }
      text.remove_prefix(written);
    }
    return;
  }
  const int length = WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()),
                                         static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return;
  std::string utf8(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
                      utf8.data(), length, nullptr, nullptr);
  std::string_view bytes = utf8;
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!WriteFile(output_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) || written == 0) return;
    bytes.remove_prefix(written);
  }
}

}  // namespace corvale
