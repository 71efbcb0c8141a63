#include "win32_files.h"

#include <windows.h>

#include <vector>

#include "win32_text.h"
#include "win32_unique_handles.h"

namespace velmara {

// The \\?\ form must be absolute and is not normalised, so the path is made absolute and normal
// first.
std::wstring SystemPath(const std::string& path) {
  const std::wstring wide = Wide(path);
  if (wide.rfind(L"\\\\?\\", 0) == 0 || wide.rfind(L"\\\\.\\", 0) == 0) return wide;
  const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (needed == 0 || needed <= MAX_PATH) return wide;
  std::vector<wchar_t> full(needed);
  const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return wide;
  const std::wstring absolute(full.data(), length);
  if (absolute.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + absolute.substr(2);
  return L"\\\\?\\" + absolute;
}

FileStatus Win32Files::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  if (CopyFileW(Wide(from).c_str(), Wide(to).c_str(), failIfExists ? TRUE : FALSE)) return file_error::kSuccess;
  return GetLastError();
}

FileStatus Win32Files::Delete(const std::string& path) {
  if (DeleteFileW(Wide(path).c_str())) return file_error::kSuccess;
  return GetLastError();
}

bool Win32Files::Exists(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

FileStatus Win32Files::Append(const std::string& path, std::string_view bytes) {
  UniqueKernelHandle file(CreateFileW(SystemPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return GetLastError();
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() < 0x100000 ? bytes.size() : 0x100000);
    if (!WriteFile(file.Get(), bytes.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return file_error::kSuccess;
}

}  // namespace velmara
