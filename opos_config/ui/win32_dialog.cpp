#include "win32_dialog.h"

#include <cstring>
#include <vector>

namespace corvale {

namespace {

constexpr WORD kDialogInitResource = 240;
constexpr WORD kAddEntry = 0x0403;

}  // namespace

std::u16string ProgramTitle() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return u"Corvale";
    if (length < path.size()) {
      std::u16string name(path.data(), path.data() + length);
      const std::size_t slash = name.find_last_of(u"\\/");
      if (slash != std::u16string::npos) name.erase(0, slash + 1);
      const std::size_t dot = name.rfind(u'.');
      if (dot != std::u16string::npos && dot != 0) name.erase(dot);
      return name;
    }
    path.resize(path.size() * 2);
  }
}

INT_PTR Win32Dialog::RunModal(HINSTANCE instance, int templateId, HWND owner) {
  instance_ = instance;
  templateId_ = templateId;
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, Procedure, reinterpret_cast<LPARAM>(this));
}

std::u16string Win32Dialog::ItemText(int id) const {
  HWND item = Item(id);
  const int length = GetWindowTextLengthW(item);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextW(item, buffer.data(), static_cast<int>(buffer.size()));
  return std::u16string(buffer.data(), buffer.data() + (copied > 0 ? copied : 0));
}

void Win32Dialog::SetItemText(int id, const std::u16string& text) { SetDlgItemTextW(hwnd_, id, W(text)); }

int Win32Dialog::Message(const std::u16string& text, unsigned style) {
  return MessageBoxW(hwnd_, W(text), W(ProgramTitle()), style);
}

// Entries of the template's drop-down lists live in the dialog initialisation data beside it.
void Win32Dialog::AddInitialEntries() {
  HRSRC found = FindResourceW(instance_, MAKEINTRESOURCEW(templateId_), MAKEINTRESOURCEW(kDialogInitResource));
  if (found == nullptr) return;
  HGLOBAL loaded = LoadResource(instance_, found);
  const auto* data = static_cast<const unsigned char*>(loaded != nullptr ? LockResource(loaded) : nullptr);
  if (data == nullptr) return;
  const DWORD size = SizeofResource(instance_, found);
  DWORD at = 0;
  constexpr DWORD kHeader = sizeof(WORD) * 2 + sizeof(DWORD);
  while (at + sizeof(WORD) <= size) {
    WORD id = 0;
    std::memcpy(&id, data + at, sizeof(id));
    if (id == 0 || at + kHeader > size) break;
    WORD message = 0;
    DWORD length = 0;
    std::memcpy(&message, data + at + sizeof(WORD), sizeof(message));
    std::memcpy(&length, data + at + 2 * sizeof(WORD), sizeof(length));
    at += kHeader;
    if (length > size - at) break;
    if (message == kAddEntry && length > 0) {
      // The entries are ASCII; each ends in its NUL.
      std::wstring entry(data + at, data + at + length);
      const std::size_t end = entry.find(L'\0');
      if (end != std::wstring::npos) entry.resize(end);
      SendDlgItemMessageW(hwnd_, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    at += length;
  }
}

INT_PTR CALLBACK Win32Dialog::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      auto* dialog = reinterpret_cast<Win32Dialog*>(lParam);
      SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
      dialog->hwnd_ = hwnd;
      dialog->AddInitialEntries();
      return dialog->OnInit() ? TRUE : FALSE;
    }
    auto* dialog = reinterpret_cast<Win32Dialog*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    if (dialog == nullptr) return FALSE;
    if (message == WM_COMMAND) {
      dialog->OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    }
  } catch (...) {
    // Nothing may unwind through the system's code; the command is abandoned.
  }
  return FALSE;
}

}  // namespace corvale
