#include "input_new_ldn.h"

#include "messages.h"
#include "store/ldn_record.h"
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
  // A key that a failed creation could not take back is named, for the technician to remove.
  std::u16string keyLeft;
  auto report = [&](int result, const std::u16string& deviceClass) {
    std::u16string text = MessageFor(result, newName);
    if (!keyLeft.empty()) text += u"\r\n" + messages::Fill(messages::kKeyLeftBehind, keyLeft, deviceClass);
    view.ShowMessage(text, kMbOk);
  };
  const int printer = store_.CreateLDN(newName, kPrinterClass, &keyLeft);
  if (printer != kLdnCreated && printer != kLdnExists) {
    report(printer, kPrinterClass);
    return;
  }
  const int drawer = store_.CreateLDN(newName, kDrawerClass, &keyLeft);
  report(drawer, kDrawerClass);
  if (drawer == kLdnCreated) view.EndDialog(kIdOk);
}

void InputNewLDN::OnCancel(NewLdnView& view) {
  newName.clear();
  view.EndDialog(kIdCancel);
}

}  // namespace corvale
