#pragma once

#include <windows.h>

#include <string>

// What the stand-ins for programs that the tools start have in common: reading how they were
// started and leaving a record the test can read.
namespace pos::testing {

// The parameters of a command line: everything after the program's name and the blanks after it.
inline std::wstring ParametersOf(const wchar_t* commandLine) {
  std::wstring line(commandLine);
  std::size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    i = line.find(L'"', 1);
    i = i == std::wstring::npos ? line.size() : i + 1;
  } else {
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
  }
  while (i < line.size() && (line[i] == L' ' || line[i] == L'\t')) ++i;
  return line.substr(i);
}

// Writes |text| as UTF-8 to |path|, which appears whole or not at all.
inline bool WriteRecord(const std::wstring& path, const std::wstring& text) {
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), bytes, nullptr, nullptr);
  const std::wstring part = path + L".part";
  HANDLE handle = CreateFileW(part.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(handle, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(handle);
  return MoveFileExW(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace pos::testing
