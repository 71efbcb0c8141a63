#include "win32_dunlith_window.h"

#include <memory>

#include "resources/resource.h"

namespace dunlith {

namespace {

constexpr UINT kSendFinished = WM_APP + 1;
constexpr UINT_PTR kAutoCloseTimer = 1;

const wchar_t* W(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// What a worker thread needs; it owns a copy of the data, so that nothing is shared but the
// transports, which only one send uses at a time.
struct SendJob {
  HWND window;
  Transports* transports;
  PortConfig port;
  Bytes data;
  SendKind kind;
};

DWORD WINAPI RunSend(void* parameter) {
  std::unique_ptr<SendJob> job(static_cast<SendJob*>(parameter));
  try {
    auto result = std::make_unique<SendResult>(SendToPrinter(job->port, job->data, job->kind, *job->transports));
    if (PostMessageW(job->window, kSendFinished, 0, reinterpret_cast<LPARAM>(result.get()))) result.release();
  } catch (...) {
    // The window goes on showing that the send runs; closing it reports a port failure.
  }
  return 0;
}

}  // namespace

int Win32DunlithWindow::Run(HINSTANCE instance) {
  const INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_DUNLITH), nullptr, Procedure,
                                         reinterpret_cast<LPARAM>(this));
  return result < 0 ? kExitPortFailure : static_cast<int>(result);
}

void Win32DunlithWindow::SetButtonTexts(const std::u16string& close, const std::u16string& openDrawer) {
  SetDlgItemTextW(hwnd_, IDCANCEL, W(close));
  SetDlgItemTextW(hwnd_, IDB_OPEN_DRAWER, W(openDrawer));
}

void Win32DunlithWindow::ShowReport(const std::u16string& text) {
  SetDlgItemTextW(hwnd_, IDE_REPORT, W(text));
  // The newest line in view.
  const auto end = text.size();
  SendDlgItemMessageW(hwnd_, IDE_REPORT, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  SendDlgItemMessageW(hwnd_, IDE_REPORT, EM_SCROLLCARET, 0, 0);
}

void Win32DunlithWindow::EnableOpenDrawer(bool enabled) {
  HWND button = GetDlgItem(hwnd_, IDB_OPEN_DRAWER);
  // A button that is disabled while it has the focus would leave the keyboard with nowhere to go.
  if (!enabled && GetFocus() == button) {
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, IDCANCEL)), TRUE);
  }
  EnableWindow(button, enabled ? TRUE : FALSE);
}

bool Win32DunlithWindow::StartSend(const PortConfig& port, const Bytes& data, SendKind kind) {
  auto job = std::make_unique<SendJob>(SendJob{hwnd_, &transports_, port, data, kind});
  HANDLE thread = CreateThread(nullptr, 0, RunSend, job.get(), 0, nullptr);
  if (thread == nullptr) return false;
  job.release();
  CloseHandle(thread);
  return true;
}

void Win32DunlithWindow::StartAutoClose(std::uint32_t milliseconds) {
  SetTimer(hwnd_, kAutoCloseTimer, milliseconds, nullptr);
}

void Win32DunlithWindow::StopAutoClose() { KillTimer(hwnd_, kAutoCloseTimer); }

void Win32DunlithWindow::End(int exitCode) { EndDialog(hwnd_, exitCode); }

bool Win32DunlithWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) {
        commands_.OnClose();
      } else if (LOWORD(wParam) == IDB_OPEN_DRAWER && HIWORD(wParam) == BN_CLICKED) {
        commands_.OnOpenDrawer();
      }
      return true;
    case WM_CLOSE:
      commands_.OnClose();
      return true;
    case WM_TIMER:
      if (wParam != kAutoCloseTimer) return false;
      commands_.OnAutoClose();
      return true;
    case kSendFinished: {
      std::unique_ptr<SendResult> result(reinterpret_cast<SendResult*>(lParam));
      if (result) commands_.OnSendFinished(*result);
      return true;
    }
    default:
      return false;
  }
}

INT_PTR CALLBACK Win32DunlithWindow::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* window = reinterpret_cast<Win32DunlithWindow*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      window->hwnd_ = hwnd;
      HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DUNLITH));
      SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
      SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
      window->commands_.OnInit(*window, window->parameters_);
      // The focus on Close, not on the report, whose text the system would otherwise select.
      SetFocus(GetDlgItem(hwnd, IDCANCEL));
      return FALSE;
    }
    auto* window = reinterpret_cast<Win32DunlithWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (window == nullptr) return FALSE;
    return window->Handle(message, wParam, lParam) ? TRUE : FALSE;
  } catch (...) {
    // Nothing may unwind through the system's code.
  }
  return FALSE;
}

}  // namespace dunlith
