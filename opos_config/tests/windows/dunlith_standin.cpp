// Stands in for the printing-test program that Corvale starts: writes the parameters it was
// given, as UTF-8, to dunlith-args.txt in its current directory, and ends.
#include <windows.h>

#include <string>

namespace {

std::wstring ParametersOf(const wchar_t* commandLine) {
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

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring parameters = ParametersOf(GetCommandLineW());
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, parameters.data(), static_cast<int>(parameters.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, parameters.data(), static_cast<int>(parameters.size()), utf8.data(), bytes, nullptr,
                      nullptr);
  HANDLE file = CreateFileW(L"dunlith-args.txt.part", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
  CloseHandle(file);
  // Appears whole or not at all.
  MoveFileExW(L"dunlith-args.txt.part", L"dunlith-args.txt", MOVEFILE_REPLACE_EXISTING);
  return 0;
}
