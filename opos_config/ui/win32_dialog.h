#pragma once

#include <windows.h>

#include <string>

namespace corvale {

// A modal dialog from a template. The window procedure maps a few messages to the hooks below
// and keeps every exception inside the callback.
class Win32Dialog {
 public:
  Win32Dialog() = default;
  Win32Dialog(const Win32Dialog&) = delete;
  Win32Dialog& operator=(const Win32Dialog&) = delete;
  virtual ~Win32Dialog() = default;

  // DialogBoxParamW; the template's initial list entries are added before OnInit.
  INT_PTR RunModal(HINSTANCE instance, int templateId, HWND owner);

 protected:
  // True lets the system put the focus on the first control that takes it.
  virtual bool OnInit() = 0;
  virtual void OnCommand(int id, int notification) = 0;

  HWND hwnd() const { return hwnd_; }
  HINSTANCE instance() const { return instance_; }
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  void End(INT_PTR result) { EndDialog(hwnd_, result); }

  std::u16string ItemText(int id) const;
  void SetItemText(int id, const std::u16string& text);
  int Message(const std::u16string& text, unsigned style);

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void AddInitialEntries();

  HWND hwnd_ = nullptr;
  HINSTANCE instance_ = nullptr;
  int templateId_ = 0;
};

// The title of the program's message boxes: its file name without extension.
std::u16string ProgramTitle();

inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

}  // namespace corvale
