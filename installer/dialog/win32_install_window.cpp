#include "win32_install_window.h"

#include "platform/win32_printing.h"
#include "platform/win32_text.h"
#include "resources/resource.h"

namespace velmara {

namespace {

const COLORREF kRemarkColour = RGB(180, 40, 40);

// Centred over the window that owns it.
void CentreOverOwner(HWND dialog) {
  HWND owner = GetWindow(dialog, GW_OWNER);
  RECT area{};
  if (owner == nullptr || !GetWindowRect(owner, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT own{};
  GetWindowRect(dialog, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetWindowPos(dialog, nullptr, area.left + (area.right - area.left - width) / 2,
               area.top + (area.bottom - area.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32InstallWindow::Win32InstallWindow(ConfingDialog& dialog)
    : dialog_(dialog),
      remarkFont_(CreateFontW(12, 0, 0, 0, FW_BOLD, FALSE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体")) {}

bool Win32InstallWindow::OnInit() {
  CentreOverOwner(hwnd());
  dialog_.OnInitDialog(*this);
  return true;
}

void Win32InstallWindow::OnCommand(int id, int notification, HWND) {
  switch (id) {
    case IDB_START_INSTALL:
      if (notification == BN_CLICKED) dialog_.OnStartInstall();
      break;
    case IDB_EXIT:
      if (notification == BN_CLICKED) dialog_.OnExit();
      break;
    case IDB_CHECK_USB_PORT:
      if (notification == BN_CLICKED) dialog_.OnCheckUsbPort();
      break;
    case IDT_STATUS:
      if (notification == STN_DBLCLK) dialog_.OnStatusDoubleClick();
      break;
    case IDOK:  // Enter while no push button has the focus
      dialog_.OnConfirm();
      break;
    case IDCANCEL:  // Escape and the close box
      dialog_.OnExit();
      break;
    default:
      break;
  }
}

bool Win32InstallWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  if (message == WM_TIMER) {
    dialog_.OnTimer(static_cast<int>(wParam));
    return false;  // and the default processing
  }
  if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == Item(IDT_REMARK)) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, kRemarkColour);
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    *result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    return true;
  }
  return false;
}

void Win32InstallWindow::SetCaption(const std::string& text) { SetWindowTextW(hwnd(), Wide(text).c_str()); }

void Win32InstallWindow::SetText(int id, const std::string& text) { SetWindowTextW(Item(id), Wide(text).c_str()); }

void Win32InstallWindow::SetChecked(int id, bool checked) {
  SendMessageW(Item(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32InstallWindow::IsChecked(int id) { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Win32InstallWindow::Show(int id, bool visible) { ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE); }

void Win32InstallWindow::Enable(int id, bool enabled) { EnableWindow(Item(id), enabled ? TRUE : FALSE); }

void Win32InstallWindow::Move(int id, int left, int top, int width, int height) {
  MoveWindow(Item(id), left, top, width, height, TRUE);
}

void Win32InstallWindow::ReportClicks(int id) {
  HWND item = Item(id);
  SetWindowLongPtrW(item, GWL_STYLE, GetWindowLongPtrW(item, GWL_STYLE) | SS_NOTIFY);
}

void Win32InstallWindow::UseRemarkFont(int id) {
  SendMessageW(Item(id), WM_SETFONT, reinterpret_cast<WPARAM>(remarkFont_.Get()), TRUE);
}

PageBitmap Win32InstallWindow::LoadLogo() {
  logo_.Reset(static_cast<HBITMAP>(
      LoadImageW(instance(), MAKEINTRESOURCEW(IDB_TEST_PAGE_LOGO), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  return PageBitmapFromHandle(logo_.Get());
}

void Win32InstallWindow::StartTimer(int id, std::uint32_t milliseconds) {
  SetTimer(hwnd(), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void Win32InstallWindow::StopTimer(int id) { KillTimer(hwnd(), static_cast<UINT_PTR>(id)); }

}  // namespace velmara
