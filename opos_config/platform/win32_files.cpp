#include "win32_files.h"

#include <windows.h>

#include <vector>

#include "win32_handles.h"

namespace corvale {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 strings pass to the W functions as they are");

FileStatus WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(bytes.size() < 0x100000 ? bytes.size() : 0x100000);
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_WRITE_FAULT;
    bytes.remove_prefix(written);
  }
  return file_error::kSuccess;
}

}  // namespace

// The \\?\ form must be absolute and is not normalised, so the path is made absolute and normal
// first.
std::wstring SystemPath(const std::u16string& path) {
  const std::wstring wide(path.begin(), path.end());
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

FileStatus Win32Files::Read(const std::u16string& path, std::size_t maxBytes, std::string* bytes) {
  bytes->clear();
  UniqueFile file(CreateFileW(SystemPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return GetLastError();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return GetLastError();
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return file_error::kFileTooLarge;
  // The file may grow while it is read: one byte more than allowed tells.
  std::string read(maxBytes + 1, '\0');
  std::size_t have = 0;
  for (;;) {
    DWORD got = 0;
    const std::size_t room = read.size() - have;
    if (room == 0) return file_error::kFileTooLarge;
    if (!ReadFile(file.Get(), read.data() + have, static_cast<DWORD>(room < 0x100000 ? room : 0x100000), &got,
                  nullptr)) {
      return GetLastError();
    }
    if (got == 0) break;
    have += got;
  }
  read.resize(have);
  *bytes = std::move(read);
  return file_error::kSuccess;
}

FileStatus Win32Files::Write(const std::u16string& path, std::string_view bytes) {
  UniqueFile file(CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return GetLastError();
  return WriteAll(file.Get(), bytes);
}

FileStatus Win32Files::Append(const std::u16string& path, std::string_view bytes) {
  UniqueFile file(CreateFileW(SystemPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return GetLastError();
  return WriteAll(file.Get(), bytes);
}

}  // namespace corvale
