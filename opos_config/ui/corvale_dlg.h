#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "corvale_view.h"
#include "platform/shell.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"

namespace corvale {

// The main dialog's state and commands. The window maps its messages to these; everything they
// do to the controls goes through the view.
class CCorvaleDlg {
 public:
  CCorvaleDlg(CorvaleView& view, OposStore& store, Shell& shell);

  // After the window has set its icons.
  void OnInitDialog();

  void ShowLDN(const std::u16string& name);
  bool ReadControls();
  void ShowValues();
  void EnablePortControls(int index);
  void CollectSettings(LDNRecord& record);
  void RefreshLDNList(const std::u16string& wantedName);

  void OnApply();
  void OnTestPrinter();
  void OnDelete();
  void OnLdnSelectionChange();
  void OnPortChoice();
  void OnNew();

  std::vector<std::u16string> ldnNames;
  LDNRecord printerRecord;
  LDNRecord drawerRecord;
  std::uint32_t timeOutValue = 0;
  std::uint32_t codePageValue = 0;
  int portIndex = 0;
  std::u16string creditText;

 private:
  enum class Applied { kStopped, kWritten, kWriteFailed, kPrinterMissing, kDrawerMissing };
  // Apply's steps, shared with Test Printer, up to its closing message; |name| receives the text
  // of the LDN entry it applied to.
  Applied ApplyToSelectedLdn(std::u16string* name);
  void ShowMissing(const std::u16string& name, const std::u16string& deviceClass, const std::u16string& outcome);
  bool ReadNumber(int editId, std::uint32_t minimum, std::uint32_t maximum, std::uint32_t& value);

  CorvaleView& view_;
  OposStore& store_;
  Shell& shell_;
};

}  // namespace corvale
