#include "win32_main_window.h"

#include <vector>

#include "dialog/win32_install_window.h"
#include "platform/win32_text.h"
#include "resources/resource.h"

namespace velmara {

namespace {

const COLORREF kBackdrop = RGB(0, 100, 160);
const COLORREF kBannerText = RGB(0, 20, 140);

// The About box: its template says everything.
class Win32AboutBox final : public Win32Dialog {
 protected:
  bool OnInit() override { return true; }
  void OnCommand(int id, int, HWND) override {
    if (id == IDOK || id == IDCANCEL) End(id);
  }
};

std::wstring LoadString(HINSTANCE instance, UINT id) {
  const wchar_t* text = nullptr;
  // With a zero length LoadStringW points at the resource's own characters.
  const int length = LoadStringW(instance, id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 && text != nullptr ? std::wstring(text, static_cast<std::size_t>(length)) : std::wstring();
}

}  // namespace

Win32MainWindow::Win32MainWindow(CTarvennPrinterDriverSetupDlg& dialog)
    : dialog_(dialog),
      m_hIcon(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELMARA))),
      m_backgroundBrush(CreateSolidBrush(kBackdrop)),
      m_bannerFont(CreateFontW(50, 0, 0, 0, FW_BOLD, TRUE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"微软雅黑")) {}

bool Win32MainWindow::OnInit() {
  dialog_.OnInitDialog(*this);
  return true;
}

void Win32MainWindow::OnCommand(int id, int, HWND) {
  if (id == IDCANCEL) End(IDCANCEL);  // Alt+F4 and the system menu's Close
}

bool Win32MainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == IDM_ABOUT) {
        Win32AboutBox about;
        about.RunModal(instance(), IDD_ABOUT, hwnd());
        *result = TRUE;
        return true;
      }
      return false;
    case WM_PAINT:
      if (!IsIconic(hwnd())) return false;
      Paint();
      *result = TRUE;
      return true;
    case WM_QUERYDRAGICON:
      *result = reinterpret_cast<INT_PTR>(m_hIcon);
      return true;
    case WM_TIMER:
      dialog_.OnTimer(static_cast<int>(wParam));
      return false;  // and the default processing
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      if (reinterpret_cast<HWND>(lParam) == Item(IDT_BANNER)) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetBkColor(dc, kBackdrop);
        SetTextColor(dc, kBannerText);
      }
      *result = reinterpret_cast<INT_PTR>(m_backgroundBrush.Get());
      return true;
    default:
      return false;
  }
}

// Minimised: the icon in the middle of the client area.
void Win32MainWindow::Paint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd(), &paint);
  SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client{};
  GetClientRect(hwnd(), &client);
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_hIcon);
  EndPaint(hwnd(), &paint);
}

void Win32MainWindow::UseBannerFont() {
  SendMessageW(Item(IDT_BANNER), WM_SETFONT, reinterpret_cast<WPARAM>(m_bannerFont.Get()), TRUE);
}

void Win32MainWindow::AddAboutMenuItem() {
  HMENU menu = GetSystemMenu(hwnd(), FALSE);
  const std::wstring item = LoadString(instance(), IDS_ABOUT_MENU_ITEM);
  if (menu == nullptr || item.empty()) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_ABOUT, item.c_str());
}

void Win32MainWindow::SetIcons() {
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
}

void Win32MainWindow::ShowMaximized() { ShowWindow(hwnd(), SW_SHOWMAXIMIZED); }

int Win32MainWindow::RunInstallDialog(ConfingDialog& dialog) {
  Win32InstallWindow window(dialog);
  return static_cast<int>(window.RunModal(instance(), IDD_INSTALL, hwnd()));
}

void Win32MainWindow::StartTimer(int id, std::uint32_t milliseconds) {
  SetTimer(hwnd(), static_cast<UINT_PTR>(id), milliseconds, nullptr);
}

void Win32MainWindow::StopTimer(int id) { KillTimer(hwnd(), static_cast<UINT_PTR>(id)); }

}  // namespace velmara
