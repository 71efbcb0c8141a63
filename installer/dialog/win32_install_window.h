#pragma once

#include <windows.h>

#include "confing_dialog.h"
#include "install_view.h"
#include "platform/win32_dialog.h"
#include "platform/win32_gdi_handles.h"

namespace velmara {

// The installation dialog's window: maps its messages to the commands of ConfingDialog and offers
// the commands its controls. It owns the remark font and the test-page logo.
class Win32InstallWindow final : public Win32Dialog, public InstallView {
 public:
  explicit Win32InstallWindow(ConfingDialog& dialog);

  WindowHandle Handle() override { return hwnd(); }
  void SetCaption(const std::string& text) override;
  void SetText(int id, const std::string& text) override;
  void SetChecked(int id, bool checked) override;
  bool IsChecked(int id) override;
  void Show(int id, bool visible) override;
  void Enable(int id, bool enabled) override;
  void Move(int id, int left, int top, int width, int height) override;
  void ReportClicks(int id) override;
  void UseRemarkFont(int id) override;
  PageBitmap LoadLogo() override;
  void StartTimer(int id, std::uint32_t milliseconds) override;
  void StopTimer(int id) override;
  void End(int result) override { Win32Dialog::End(result); }

 protected:
  bool OnInit() override;
  void OnCommand(int id, int notification, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result) override;

 private:
  ConfingDialog& dialog_;
  UniqueFont remarkFont_;
  UniqueBitmap logo_;
};

}  // namespace velmara
