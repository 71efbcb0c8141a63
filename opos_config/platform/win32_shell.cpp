#include <windows.h>
#include <shellapi.h>

#include <string>

#include "shell.h"

namespace corvale {

namespace {

const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// The system's text for an error code, or "Error N." where it has none.
std::u16string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
      reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::u16string message;
  if (length != 0 && text != nullptr) message.assign(text, text + length);
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' ')) {
    message.pop_back();
  }
  if (message.empty()) {
    const std::string digits = std::to_string(std::uint64_t{error});
    message = u"Error " + std::u16string(digits.begin(), digits.end()) + u".";
  }
  return message;
}

}  // namespace

std::u16string Win32Shell::CurrentDirectory() {
  // The directory can change between the size query and the read; a few fresh tries settle it.
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return {};
    std::u16string directory(needed, u'\0');
    const DWORD copied = GetCurrentDirectoryW(needed, reinterpret_cast<wchar_t*>(directory.data()));
    if (copied == 0) return {};
    if (copied < needed) {
      directory.resize(copied);
      return directory;
    }
  }
  return {};
}

bool Win32Shell::Execute(WindowHandle owner, const std::u16string& verb, const std::u16string& file,
                         const std::u16string& parameters, const std::u16string& directory, int show,
                         std::u16string* failure) {
  SetLastError(ERROR_SUCCESS);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(static_cast<HWND>(owner), W(verb), W(file), W(parameters), W(directory), show));
  if (result > 32) return true;
  // ShellExecute's own codes up to 32 are mostly system error codes too (file not found, access
  // denied, not a program); the thread's last error says more where the shell set it.
  DWORD error = GetLastError();
  if (error == ERROR_SUCCESS) error = result == 0 ? static_cast<DWORD>(ERROR_OUTOFMEMORY) : static_cast<DWORD>(result);
  *failure = SystemMessage(error);
  return false;
}

}  // namespace corvale
