#pragma once

#include <windows.h>

#include "corvale_dlg.h"
#include "corvale_view.h"
#include "win32_dialog.h"

namespace corvale {

// The main dialog's window: maps its messages to the commands of CCorvaleDlg and offers the
// commands its controls.
class Win32CorvaleWindow final : public Win32Dialog, public CorvaleView {
 public:
  Win32CorvaleWindow(OposStore& store, Shell& shell);

  WindowHandle Handle() override { return hwnd(); }
  void SetText(int id, const std::u16string& text) override { SetItemText(id, text); }
  std::u16string Text(int id) override { return ItemText(id); }
  int ShowMessage(const std::u16string& text, unsigned style) override { return Message(text, style); }

  void ResetList(int id) override;
  void AddToList(int id, const std::u16string& text) override;
  void SelectInList(int id, int index) override;
  int ListSelection(int id) override;
  std::u16string ListText(int id, int index) override;
  void SetChecked(int id, bool checked) override;
  bool IsChecked(int id) override;
  void Enable(int id, bool enabled) override;
  void SetIpAddress(int id, std::uint32_t address) override;
  std::uint32_t IpAddress(int id) override;
  void Focus(int id) override;
  void FocusAndSelectAll(int id) override;
  void RunNewLdnDialog(InputNewLDN& dialog) override;

 protected:
  bool OnInit() override;
  void OnCommand(int id, int notification) override;

 private:
  CCorvaleDlg dialog_;
  HICON bigIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
};

}  // namespace corvale
