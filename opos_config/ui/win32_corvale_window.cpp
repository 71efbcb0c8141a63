#include "win32_corvale_window.h"

#include <commctrl.h>

#include <vector>

#include "input_new_ldn.h"
#include "resources/resource.h"

namespace corvale {

namespace {

// The dialog's own window for the New LDN command.
class Win32NewLdnWindow final : public Win32Dialog, public NewLdnView {
 public:
  explicit Win32NewLdnWindow(InputNewLDN& dialog) : dialog_(dialog) {}

  WindowHandle Handle() override { return hwnd(); }
  void SetText(int id, const std::u16string& text) override { SetItemText(id, text); }
  std::u16string Text(int id) override { return ItemText(id); }
  int ShowMessage(const std::u16string& text, unsigned style) override { return Message(text, style); }
  void EndDialog(int result) override { End(result); }

 protected:
  bool OnInit() override {
    dialog_.OnInitDialog(*this);
    return true;  // the focus goes to OK, the first control that takes it
  }
  void OnCommand(int id, int) override {
    if (id == IDOK) dialog_.OnOK(*this);
    if (id == IDCANCEL) dialog_.OnCancel(*this);
  }

 private:
  InputNewLDN& dialog_;
};

}  // namespace

Win32CorvaleWindow::Win32CorvaleWindow(OposStore& store, Shell& shell) : dialog_(*this, store, shell) {}

bool Win32CorvaleWindow::OnInit() {
  // Shared icons from the module: the system owns them, nothing to destroy.
  bigIcon_ = static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(IDI_CORVALE), IMAGE_ICON,
                                           GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
  smallIcon_ = static_cast<HICON>(LoadImageW(instance(), MAKEINTRESOURCEW(IDI_CORVALE), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
  SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  dialog_.OnInitDialog();
  return false;  // the commands have put the focus on Test Printer
}

void Win32CorvaleWindow::OnCommand(int id, int notification) {
  switch (id) {
    case IDB_APPLY:
      if (notification == BN_CLICKED) dialog_.OnApply();
      break;
    case IDB_TEST_PRINTER:
      if (notification == BN_CLICKED) dialog_.OnTestPrinter();
      break;
    case IDB_DELETE:
      if (notification == BN_CLICKED) dialog_.OnDelete();
      break;
    case IDB_NEW:
      if (notification == BN_CLICKED) dialog_.OnNew();
      break;
    case IDR_USB:
    case IDR_SERIAL:
    case IDR_ETHERNET:
      if (notification == BN_CLICKED) dialog_.OnPortChoice();
      break;
    case IDC_LDN_LIST:
      if (notification == CBN_SELCHANGE) dialog_.OnLdnSelectionChange();
      break;
    case IDCANCEL:  // Exit, Escape and the close box
      End(IDCANCEL);
      break;
    default:
      break;
  }
}

void Win32CorvaleWindow::ResetList(int id) { SendDlgItemMessageW(hwnd(), id, CB_RESETCONTENT, 0, 0); }

void Win32CorvaleWindow::AddToList(int id, const std::u16string& text) {
  SendDlgItemMessageW(hwnd(), id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
}

void Win32CorvaleWindow::SelectInList(int id, int index) {
  SendDlgItemMessageW(hwnd(), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int Win32CorvaleWindow::ListSelection(int id) {
  const LRESULT selection = SendDlgItemMessageW(hwnd(), id, CB_GETCURSEL, 0, 0);
  return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

std::u16string Win32CorvaleWindow::ListText(int id, int index) {
  const LRESULT length = SendDlgItemMessageW(hwnd(), id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const LRESULT copied =
      SendDlgItemMessageW(hwnd(), id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  if (copied == CB_ERR) return {};
  return std::u16string(buffer.data(), buffer.data() + copied);
}

void Win32CorvaleWindow::SetChecked(int id, bool checked) {
  SendDlgItemMessageW(hwnd(), id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Win32CorvaleWindow::IsChecked(int id) { return IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }

void Win32CorvaleWindow::Enable(int id, bool enabled) { EnableWindow(Item(id), enabled ? TRUE : FALSE); }

void Win32CorvaleWindow::SetIpAddress(int id, std::uint32_t address) {
  SendDlgItemMessageW(hwnd(), id, IPM_SETADDRESS, 0, static_cast<LPARAM>(address));
}

std::uint32_t Win32CorvaleWindow::IpAddress(int id) {
  DWORD address = 0;
  SendDlgItemMessageW(hwnd(), id, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  return address;
}

void Win32CorvaleWindow::Focus(int id) {
  SendMessageW(hwnd(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
}

void Win32CorvaleWindow::FocusAndSelectAll(int id) {
  Focus(id);
  SendDlgItemMessageW(hwnd(), id, EM_SETSEL, 0, -1);
}

void Win32CorvaleWindow::RunNewLdnDialog(InputNewLDN& dialog) {
  Win32NewLdnWindow window(dialog);
  window.RunModal(instance(), IDD_NEW_LDN, hwnd());
}

}  // namespace corvale
