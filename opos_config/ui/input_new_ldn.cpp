#include "input_new_ldn.h"

#include "messages.h"
#include "resources/resource.h"

namespace corvale {

namespace {

std::u16string MessageFor(int result, const std::u16string& name) {
  switch (result) {
    case kLdnCreated:
      return messages::kAddSuccess;
    case kLdnExists: {
      std::u16string text = messages::kAlreadyExists;
      text.replace(text.find(u"%s"), 2, name);
      return text;
    }
    case kLdnNoPermission:
      return messages::kNoPermission;
    default:
      return messages::kError;
  }
}

}  // namespace

void InputNewLDN::OnInitDialog(NewLdnView& view) { view.SetText(IDE_NEW_LDN, newName); }

void InputNewLDN::OnOK(NewLdnView& view) {
  newName = view.Text(IDE_NEW_LDN);
  // The registry cannot hold an LDN without a name.
  if (newName.empty()) {
    view.ShowMessage(messages::kInputNewLdn, kMbOk);
    return;
  }
  // An LDN the printer class already has is completed in the cash-drawer class; any other
  // failure there is the user's to see.
  const int printer = store_.CreateLDN(newName, u"POSPrinter");
  if (printer != kLdnCreated && printer != kLdnExists) {
    view.ShowMessage(MessageFor(printer, newName), kMbOk);
    return;
  }
  const int drawer = store_.CreateLDN(newName, u"CashDrawer");
  view.ShowMessage(MessageFor(drawer, newName), kMbOk);
  if (drawer == kLdnCreated) view.EndDialog(kIdOk);
}

void InputNewLDN::OnCancel(NewLdnView& view) {
  newName.clear();
  view.EndDialog(kIdCancel);
}

}  // namespace corvale
