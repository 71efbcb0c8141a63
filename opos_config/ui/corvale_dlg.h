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
  // kPrinterOnly: the cash-drawer half was left out, and |notes| say why.
  enum class Applied { kStopped, kWritten, kPrinterOnly, kWriteFailed };
  // Apply's steps, shared with Test Printer, up to its closing message; |name| receives the text
  // of the LDN entry it applied to, |notes| what the user is to know besides the outcome.
  Applied ApplyToSelectedLdn(std::u16string* name, std::u16string* notes);
  // Why |record| may not go back into the key it was read from, or empty when it may.
  std::u16string Refusal(const LDNRecord& record, const std::u16string& name, const std::u16string& deviceClass) const;
  void StartTestProgram(const std::u16string& name);
  bool ReadNumber(int editId, std::uint32_t minimum, std::uint32_t maximum, std::uint32_t& value);

  // What the lists showed of the LDN last shown, so that a setting the lists cannot show stays as
  // stored until the user chooses another entry. kNotShown before any LDN was shown.
  static constexpr int kNotShown = -2;
  int shownDotLineWidth_ = kNotShown;
  int shownEffect_ = kNotShown;
  int shownPortName_ = kNotShown;  // only when the LDN was shown as serial
  int shownBaudRate_ = kNotShown;

  CorvaleView& view_;
  OposStore& store_;
  Shell& shell_;
};

}  // namespace corvale
