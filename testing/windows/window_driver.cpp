#include "window_driver.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "png_writer.h"

namespace pos::testing {

namespace {

constexpr DWORD kPoll = 20;

struct Search {
  DWORD processId;
  std::wstring title;
  const std::vector<HWND>* known;
  HWND found = nullptr;
};

BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid != search->processId || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t className[64] = {};
  GetClassNameW(hwnd, className, static_cast<int>(std::size(className)));
  if (std::wstring(className) != L"#32770") return TRUE;
  if (std::find(search->known->begin(), search->known->end(), hwnd) != search->known->end()) return TRUE;
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(hwnd, title.data(), length + 1);
  title.resize(static_cast<std::size_t>(length));
  if (title != search->title) return TRUE;
  search->found = hwnd;
  return FALSE;
}

std::wstring WindowText(HWND hwnd) {
  const LRESULT length = SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

}  // namespace

std::string Utf8(const std::wstring& text) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

std::wstring ThisProgramsDirectory() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path.substr(0, path.find_last_of(L"\\/"));
}

std::wstring ProgramsUnderTestDirectory() {
  const std::string directory = POS_PROGRAMS_UNDER_TEST;
  return std::wstring(directory.begin(), directory.end());
}

namespace {

// The configuration this test program runs in, as the screenshots folder names it.
std::wstring ConfigurationName() {
  if (sizeof(void*) == 8) return L"win64";
  BOOL wow64 = FALSE;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  if (isWow64Process != nullptr) isWow64Process(GetCurrentProcess(), &wow64);
  return wow64 ? L"win32-wow64" : L"win32-x86";
}

}  // namespace

DWORD TimeScale() {
  static const DWORD scale = [] {
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"POS_TEST_TIME_SCALE", text, 16);
    if (length == 0 || length >= 16) return DWORD{1};
    const unsigned long value = wcstoul(text, nullptr, 10);
    return value >= 1 && value <= 100 ? static_cast<DWORD>(value) : DWORD{1};
  }();
  return scale;
}

DWORD Scaled(DWORD milliseconds) {
  if (milliseconds == INFINITE) return INFINITE;
  const ULONGLONG scaled = static_cast<ULONGLONG>(milliseconds) * TimeScale();
  return scaled >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(scaled);
}

std::wstring ScreenshotPath(const std::wstring& name) {
  const std::wstring screenshots = ThisProgramsDirectory() + L"\\..\\screenshots";
  CreateDirectoryW(screenshots.c_str(), nullptr);
  const std::wstring directory = screenshots + L"\\" + ConfigurationName();
  CreateDirectoryW(directory.c_str(), nullptr);
  return directory + L"\\" + name;
}

Program::~Program() {
  if (info_.hProcess != nullptr) {
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      if (window_ != nullptr) PostMessageW(window_, WM_COMMAND, IDCANCEL, 0);
      if (WaitForSingleObject(info_.hProcess, Scaled(5000)) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, Scaled(5000));
    }
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
}

bool Program::Start(const std::wstring& exe, const std::wstring& directory, const std::wstring& title,
                    const std::wstring& parameters) {
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!parameters.empty()) commandLine += L" " + parameters;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, directory.c_str(), &startup,
                      &info_)) {
    return false;
  }
  WaitForInputIdle(info_.hProcess, Scaled(10000));
  const std::vector<HWND> none;
  window_ = WaitForDialog(info_.dwProcessId, title, none, 20000);
  return window_ != nullptr;
}

bool Program::StartThroughShell(const std::wstring& exe, const std::wstring& directory, const std::wstring& title,
                                const std::wstring& parameters) {
  SHELLEXECUTEINFOW shell{};
  shell.cbSize = sizeof(shell);
  shell.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  shell.lpVerb = L"open";
  shell.lpFile = exe.c_str();
  shell.lpParameters = parameters.c_str();
  shell.lpDirectory = directory.c_str();
  shell.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&shell) || shell.hProcess == nullptr) return false;
  info_.hProcess = shell.hProcess;
  info_.dwProcessId = GetProcessId(shell.hProcess);
  WaitForInputIdle(info_.hProcess, 10000);
  const std::vector<HWND> none;
  window_ = WaitForDialog(info_.dwProcessId, title, none, 20000);
  return window_ != nullptr;
}

DWORD Program::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (info_.hProcess != nullptr) GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

bool Program::WaitForExit(DWORD milliseconds) {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, Scaled(milliseconds)) == WAIT_OBJECT_0;
}

bool Program::StillRunningAfter(DWORD milliseconds) {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, milliseconds) == WAIT_TIMEOUT;
}

Pending::Pending(std::function<void()> send) : finished_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = std::thread([this, send = std::move(send)] {
    send();
    SetEvent(finished_);
  });
}

Pending::~Pending() {
  if (thread_.joinable()) thread_.join();
  CloseHandle(finished_);
}

bool Pending::Done() const { return WaitForSingleObject(finished_, 0) == WAIT_OBJECT_0; }
bool Pending::WaitDone(DWORD milliseconds) const {
  return WaitForSingleObject(finished_, Scaled(milliseconds)) == WAIT_OBJECT_0;
}

Pending Click(HWND dialog, int id) {
  HWND button = GetDlgItem(dialog, id);
  return Pending([button] { SendMessageW(button, BM_CLICK, 0, 0); });
}

HWND WaitForDialog(DWORD processId, const std::wstring& title, const std::vector<HWND>& known, DWORD milliseconds,
                   const Pending* pending) {
  const ULONGLONG end = GetTickCount64() + Scaled(milliseconds);
  for (;;) {
    Search search{processId, title, &known};
    EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (GetTickCount64() >= end || (pending != nullptr && pending->Done())) return nullptr;
    Sleep(kPoll);
  }
}

SeenMessageBox ReadMessageBox(HWND box) {
  SeenMessageBox seen;
  seen.window = box;
  seen.title = WindowText(box);
  seen.owner = GetWindow(box, GW_OWNER);
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, static_cast<int>(std::size(className)));
    const std::wstring kind(className);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        if (SendMessageW(child, STM_GETICON, 0, 0) != 0) seen.hasIcon = true;
      } else {
        const std::wstring text = WindowText(child);
        if (text.size() > seen.text.size()) seen.text = text;
      }
    } else if (_wcsicmp(kind.c_str(), L"Button") == 0 && IsWindowVisible(child)) {
      seen.buttons.push_back(WindowText(child));
    }
  }
  return seen;
}

void Press(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::vector<SeenMessageBox> AnswerMessageBoxes(DWORD processId, const std::wstring& title, const Pending& pending,
                                               const std::vector<HWND>& known, DWORD milliseconds) {
  std::vector<SeenMessageBox> seen;
  std::vector<HWND> answered = known;
  const ULONGLONG end = GetTickCount64() + Scaled(milliseconds);
  while (!pending.Done() && GetTickCount64() < end) {
    HWND box = WaitForDialog(processId, title, answered, 200, &pending);
    if (box == nullptr) continue;
    seen.push_back(ReadMessageBox(box));
    answered.push_back(box);
    Press(box, IDOK);
  }
  pending.WaitDone(1000);
  return seen;
}

std::wstring ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetControlText(HWND dialog, int id, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int ListCount(HWND dialog, int id) { return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0)); }

int ListSelection(HWND dialog, int id) {
  const LRESULT selection = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

std::wstring ListText(HWND dialog, int id, int index) {
  const LRESULT length = SendDlgItemMessageW(dialog, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return L"<none>";
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::vector<std::wstring> ListEntries(HWND dialog, int id) {
  std::vector<std::wstring> entries;
  for (int i = 0; i < ListCount(dialog, id); ++i) entries.push_back(ListText(dialog, id, i));
  return entries;
}

void ChooseInList(HWND dialog, int id, int index) {
  HWND list = GetDlgItem(dialog, id);
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  Pending notify([dialog, id, list] {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  });
  notify.WaitDone(10000);
}

bool Checked(HWND dialog, int id) { return SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }

bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::wstring IpAddressText(HWND dialog, int id) {
  std::vector<std::pair<LONG, std::wstring>> fields;
  for (HWND child = GetWindow(GetDlgItem(dialog, id), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    RECT rect{};
    GetWindowRect(child, &rect);
    fields.emplace_back(rect.left, WindowText(child));
  }
  std::sort(fields.begin(), fields.end());
  std::wstring text;
  for (std::size_t i = 0; i < fields.size(); ++i) text += (i ? L"." : L"") + fields[i].second;
  return text;
}

HWND FocusOf(DWORD threadId) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}

HWND FocusOnceSettled(DWORD threadId, HWND expected, DWORD milliseconds) {
  const ULONGLONG end = GetTickCount64() + Scaled(milliseconds);
  HWND focus = FocusOf(threadId);
  while (focus != expected && GetTickCount64() < end) {
    Sleep(kPoll);
    focus = FocusOf(threadId);
  }
  return focus;
}

bool SaveScreenshot(HWND window, const std::wstring& path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  Sleep(300);
  RECT rect{};
  GetWindowRect(window, &rect);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0) return false;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  const auto* bgra = static_cast<const std::uint8_t*>(bits);
  for (std::size_t i = 0; i < static_cast<std::size_t>(width) * static_cast<std::size_t>(height); ++i) {
    rgb[i * 3] = bgra[i * 4 + 2];
    rgb[i * 3 + 1] = bgra[i * 4 + 1];
    rgb[i * 3 + 2] = bgra[i * 4];
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return WritePng(Utf8(path), width, height, rgb);
}

}  // namespace pos::testing
