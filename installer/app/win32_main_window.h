#pragma once

#include <windows.h>

#include "main_window.h"
#include "platform/win32_dialog.h"
#include "platform/win32_gdi_handles.h"

namespace velmara {

// The backdrop's window: maps its messages to the commands of CTarvennPrinterDriverSetupDlg. It
// owns the background brush and the banner font.
class Win32MainWindow final : public Win32Dialog, public MainView {
 public:
  explicit Win32MainWindow(CTarvennPrinterDriverSetupDlg& dialog);

  WindowHandle Handle() override { return hwnd(); }
  void UseBannerFont() override;
  void AddAboutMenuItem() override;
  void SetIcons() override;
  void ShowMaximized() override;
  int RunInstallDialog(ConfingDialog& dialog) override;
  void StartTimer(int id, std::uint32_t milliseconds) override;
  void StopTimer(int id) override;
  void End(int result) override { Win32Dialog::End(result); }

 protected:
  bool OnInit() override;
  void OnCommand(int id, int notification, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  void Paint();

  CTarvennPrinterDriverSetupDlg& dialog_;
  HICON m_hIcon;
  UniqueBrush m_backgroundBrush;
  UniqueFont m_bannerFont;
};

}  // namespace velmara
