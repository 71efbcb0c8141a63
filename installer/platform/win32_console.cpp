#include "win32_console.h"

#include <string>

#include "win32_text.h"

namespace velmara {

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

void Win32Console::Write(std::string_view text) {
  if (output_ == nullptr) return;
  if (isConsole_) {
    // Older consoles take a few thousand characters a call at most.
    const std::wstring wide = Wide(text);
    for (std::size_t at = 0; at < wide.size();) {
      DWORD written = 0;
      std::size_t chunk = wide.size() - at < 4096 ? wide.size() - at : 4096;
      // A surrogate pair goes in one call.
      if (chunk > 1 && at + chunk < wide.size() && wide[at + chunk - 1] >= 0xD800 && wide[at + chunk - 1] <= 0xDBFF) {
        --chunk;
      }
      if (!WriteConsoleW(output_, wide.data() + at, static_cast<DWORD>(chunk), &written, nullptr) || written == 0) return;
      at += written;
    }
    return;
  }
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteFile(output_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

}  // namespace velmara
