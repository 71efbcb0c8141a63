#include "win32_dialog.h"

namespace velmara {

INT_PTR Win32Dialog::RunModal(HINSTANCE instance, int templateId, HWND owner) {
  instance_ = instance;
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, Procedure, reinterpret_cast<LPARAM>(this));
}

bool Win32Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR*) { return false; }

INT_PTR CALLBACK Win32Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* dialog = reinterpret_cast<Win32Dialog*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      dialog->hwnd_ = hwnd;
      return dialog->OnInit() ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    if (message == WM_COMMAND) {
      dialog->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
      return TRUE;
    }
    INT_PTR result = FALSE;
    if (dialog->OnMessage(message, wParam, lParam, &result)) return result;
  } catch (...) {
    // Nothing may unwind through the system's code; the message is dropped.
  }
  return FALSE;
}

}  // namespace velmara
