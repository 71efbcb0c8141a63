// Stands in for rundll32.exe running the printer user interface: records how it was started and
// shows a properties window, titled as Windows titles it, whose tab control reports which page
// was brought to the front.
//
// Writes, into the folder named by VELMARA_TEST_RECORD:
//   rundll32-<where>.txt  the parameters, <where> "system" when it ran from the system directory
//   rundll32-cwd.txt      the working directory it was started in
//   rundll32-titled.txt   the system's tick count (GetTickCount) when its window got its title,
//                         which is when the installer can find it
//   rundll32-tab.txt      the index of the page that was selected, once one other than 0 was
//
// With VELMARA_TEST_RUNDLL32=hang its window, once titled, stops answering messages, as a hung
// properties window would, until the event named by VELMARA_TEST_RUNDLL32_RELEASE is set or a
// minute has passed.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "standin_support.h"

namespace {

std::wstring g_record;
HWND g_tabs = nullptr;
int g_reported = 0;

void Write(const std::wstring& file, const std::wstring& text) {
  pos::testing::WriteRecord(g_record + L"\\" + file, text);
}

void CALLBACK CloseWindowNow(HWND hwnd, UINT, UINT_PTR, DWORD) { DestroyWindow(hwnd); }

LRESULT CALLBACK WindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    const auto focus = static_cast<int>(
        std::max(SendMessageW(g_tabs, TCM_GETCURFOCUS, 0, 0), SendMessageW(g_tabs, TCM_GETCURSEL, 0, 0)));
    if (focus > 0 && focus != g_reported) {
      g_reported = focus;
      Write(L"rundll32-tab.txt", std::to_wstring(focus));
      // Done: gone soon, so that the next test meets no window of this one.
      SetTimer(hwnd, 2, 500, CloseWindowNow);
    }
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  wchar_t record[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"VELMARA_TEST_RECORD", record, MAX_PATH) == 0) return 1;
  g_record = record;

  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  std::wstring folder(self);
  folder = folder.substr(0, folder.find_last_of(L'\\'));
  auto same = [&folder](const wchar_t* other) {
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, folder.c_str(), -1, other, -1) == CSTR_EQUAL;
  };
  // A 32-bit program on a 64-bit Windows that starts rundll32.exe from the system directory gets the
  // 32-bit one of SysWOW64, where the file system redirector sends the 32-bit test's copy too.
  wchar_t wow64System[MAX_PATH] = {};
  BOOL wow64 = FALSE;
  const bool fromWow64System = IsWow64Process(GetCurrentProcess(), &wow64) && wow64 &&
                               GetSystemWow64DirectoryW(wow64System, MAX_PATH) > 0 && same(wow64System);
  const bool fromSystem = same(system) || fromWow64System;
  const std::wstring parameters = pos::testing::ParametersOf(GetCommandLineW());
  wchar_t directory[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH + 1, directory);
  Write(L"rundll32-cwd.txt", directory);
  Write(fromSystem ? L"rundll32-system.txt" : L"rundll32-other.txt", parameters);
  if (!fromSystem) return 0;

  // The printer named after /n, in its quotes.
  std::wstring printer;
  const std::size_t n = parameters.find(L"/n \"");
  if (n != std::wstring::npos) {
    const std::size_t end = parameters.find(L'"', n + 4);
    printer = parameters.substr(n + 4, end == std::wstring::npos ? std::wstring::npos : end - n - 4);
  }
  const std::wstring title = printer + (GetUserDefaultUILanguage() == 0x0804 ? L" 属性" : L" Properties");

  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProcedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"PrinterPropertiesStandIn";
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassW(&windowClass);
  // Titled only once its tab control is there, as a finished property sheet would be found.
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                                nullptr, nullptr, instance, nullptr);
  g_tabs = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE, 10, 10, 360, 240, window, nullptr, instance,
                           nullptr);
  for (const wchar_t* page : {L"General", L"Sharing", L"Ports"}) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(page);
    SendMessageW(g_tabs, TCM_INSERTITEMW, static_cast<WPARAM>(SendMessageW(g_tabs, TCM_GETITEMCOUNT, 0, 0)),
                 reinterpret_cast<LPARAM>(&item));
  }
  SetWindowTextW(window, title.c_str());
  Write(L"rundll32-titled.txt", std::to_wstring(GetTickCount()));
  wchar_t mode[16] = {};
  if (GetEnvironmentVariableW(L"VELMARA_TEST_RUNDLL32", mode, 16) > 0 && std::wstring(mode) == L"hang") {
    wchar_t release[MAX_PATH] = {};
    GetEnvironmentVariableW(L"VELMARA_TEST_RUNDLL32_RELEASE", release, MAX_PATH);
    HANDLE released = OpenEventW(SYNCHRONIZE, FALSE, release);
    Write(L"rundll32-hung.txt", title);
    WaitForSingleObject(released != nullptr ? released : GetCurrentProcess(), 60000);
    if (released != nullptr) CloseHandle(released);
    return 0;
  }
  SetTimer(window, 1, 50, nullptr);
  // Long enough for the installer to find the window; it closes by itself.
  SetTimer(window, 2, 8000, CloseWindowNow);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
