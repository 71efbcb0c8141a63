#pragma once

#include <windows.h>

#include <string>

namespace velmara {

// A modal dialog from a template. The window procedure maps the messages to the hooks below and
// keeps every exception inside the callback.
class Win32Dialog {
 public:
  Win32Dialog() = default;
  Win32Dialog(const Win32Dialog&) = delete;
  Win32Dialog& operator=(const Win32Dialog&) = delete;
  virtual ~Win32Dialog() = default;

  // DialogBoxParamW; the dialog's result, or -1 when it could not be created.
  INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner);

 protected:
  // True lets the system put the focus on the first control that takes it.
  virtual bool OnInit() = 0;
  virtual void OnCommand(int id, int notification, HWND control) = 0;
  // Any other message; true when handled, with the dialog procedure's |result|.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result);

  HWND hwnd() const { return hwnd_; }
  HINSTANCE instance() const { return instance_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void End(INT_PTR result) { EndDialog(hwnd_, result); }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
};

}  // namespace velmara
