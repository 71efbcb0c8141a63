#include "console_run.h"

#include <vector>

namespace pos::testing {

RunOutcome RunRedirected(const std::wstring& exe, const std::wstring& directory, const std::wstring& parameters,
                         DWORD milliseconds) {
  RunOutcome outcome;
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  wchar_t name[MAX_PATH + 1] = {};
  if (GetTempFileNameW(temp, L"out", 0, name) == 0) return outcome;
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
  if (file == INVALID_HANDLE_VALUE) return outcome;

  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!parameters.empty()) commandLine += L" " + parameters;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = file;
  startup.hStdError = file;
  PROCESS_INFORMATION info{};
  if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, directory.c_str(), &startup,
                     &info)) {
    if (WaitForSingleObject(info.hProcess, milliseconds) == WAIT_TIMEOUT) {
      TerminateProcess(info.hProcess, STILL_ACTIVE);
      WaitForSingleObject(info.hProcess, 5000);
      outcome.exitCode = STILL_ACTIVE;
    } else {
      GetExitCodeProcess(info.hProcess, &outcome.exitCode);
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
  }

  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  std::vector<char> chunk(4096);
  DWORD read = 0;
  while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) && read > 0) {
    outcome.output.append(chunk.data(), read);
  }
  CloseHandle(file);
  DeleteFileW(name);
  return outcome;
}

}  // namespace pos::testing
