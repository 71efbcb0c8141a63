#include "console_run.h"

#include "unique_handle.h"
#include "window_driver.h"

#include <vector>

namespace pos::testing {
namespace {

// Puts the process's console and standard handles back as they were.
class ConsoleOfOurOwn {
 public:
  ConsoleOfOurOwn()
      : output_(GetStdHandle(STD_OUTPUT_HANDLE)),
        error_(GetStdHandle(STD_ERROR_HANDLE)),
        input_(GetStdHandle(STD_INPUT_HANDLE)) {
    FreeConsole();
    made_ = AllocConsole() != FALSE;
  }
  ConsoleOfOurOwn(const ConsoleOfOurOwn&) = delete;
  ConsoleOfOurOwn& operator=(const ConsoleOfOurOwn&) = delete;
  ~ConsoleOfOurOwn() {
    FreeConsole();
    SetStdHandle(STD_OUTPUT_HANDLE, output_);
    SetStdHandle(STD_ERROR_HANDLE, error_);
    SetStdHandle(STD_INPUT_HANDLE, input_);
  }
  bool made() const { return made_; }

 private:
  HANDLE output_, error_, input_;
  bool made_ = false;
};

}  // namespace

ConsoleOutcome RunFromAPrompt(const std::wstring& exe, const std::wstring& directory, const std::wstring& parameters,
                              DWORD milliseconds) {
  ConsoleOutcome outcome;
  ConsoleOfOurOwn console;
  if (!console.made()) return outcome;
  const UniqueHandle screen(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
  if (!screen.Valid()) return outcome;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!parameters.empty()) commandLine += L" " + parameters;
  // No standard handles, and none inherited.
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(),
                      &startup, &info)) {
    return outcome;
  }
  const UniqueHandle process(info.hProcess), thread(info.hThread);
  if (WaitForSingleObject(process.Get(), Scaled(milliseconds)) == WAIT_TIMEOUT) {
    TerminateProcess(process.Get(), STILL_ACTIVE);
    WaitForSingleObject(process.Get(), 5000);
  } else {
    GetExitCodeProcess(process.Get(), &outcome.exitCode);
  }
  CONSOLE_SCREEN_BUFFER_INFO buffer{};
  if (!GetConsoleScreenBufferInfo(screen.Get(), &buffer)) return outcome;
  outcome.shown.assign(static_cast<std::size_t>(buffer.dwSize.X) * static_cast<std::size_t>(buffer.dwSize.Y), L' ');
  DWORD read = 0;
  ReadConsoleOutputCharacterW(screen.Get(), outcome.shown.data(), static_cast<DWORD>(outcome.shown.size()),
                              COORD{0, 0}, &read);
  outcome.shown.resize(read);
  return outcome;
}

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
