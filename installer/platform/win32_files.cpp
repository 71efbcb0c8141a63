#include "win32_files.h"

#include <windows.h>

#include "win32_text.h"

namespace velmara {

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

}  // namespace velmara
