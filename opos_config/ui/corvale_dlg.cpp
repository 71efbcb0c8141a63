#include "corvale_dlg.h"

#include <algorithm>
#include <string>

#include "input_new_ldn.h"
#include "messages.h"
#include "resources/resource.h"

namespace corvale {

namespace {

constexpr int kPortUsbIndex = 0;
constexpr int kPortSerialIndex = 1;
constexpr int kPortEthernetIndex = 2;
constexpr int kPortRadios[] = {IDR_USB, IDR_SERIAL, IDR_ETHERNET};

constexpr int kComPortCount = 255;
constexpr std::uint32_t kWideLine = 640;

const std::u16string kCredit = u"Corvale OPOS configuration v3";
const std::u16string kPrinterClassName = u"POSPrinter";
const std::u16string kDrawerClassName = u"CashDrawer";

std::u16string Decimal(std::uint64_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

enum class Parse { kNumber, kNotANumber, kTooLarge };

// A whole non-negative decimal number, blanks around it allowed; one too large for 32 bits is
// out of range rather than wrapped.
Parse ParseUnsigned(const std::u16string& text, std::uint32_t& value) {
  std::size_t i = 0;
  auto blank = [](char16_t c) { return c == u' ' || c == u'\t'; };
  while (i < text.size() && blank(text[i])) ++i;
  std::size_t end = text.size();
  while (end > i && blank(text[end - 1])) --end;
  if (i == end) return Parse::kNotANumber;
  std::uint64_t number = 0;
  bool tooLarge = false;
  for (; i < end; ++i) {
    if (text[i] < u'0' || text[i] > u'9') return Parse::kNotANumber;
    number = number * 10 + static_cast<std::uint64_t>(text[i] - u'0');
    if (number > UINT32_MAX) {
      tooLarge = true;
      number = UINT32_MAX;
    }
  }
  if (tooLarge) return Parse::kTooLarge;
  value = static_cast<std::uint32_t>(number);
  return Parse::kNumber;
}

}  // namespace

CCorvaleDlg::CCorvaleDlg(CorvaleView& view, OposStore& store, Shell& shell)
    : view_(view), store_(store), shell_(shell) {}

void CCorvaleDlg::OnInitDialog() {
  store_.EnsureClassKeys(kPrinterClassName);
  store_.EnsureClassKeys(kDrawerClassName);

  for (int port = 1; port <= kComPortCount; ++port) view_.AddToList(IDC_PORT_NAME, u"COM" + Decimal(port));
  view_.SelectInList(IDC_EFFECTS, 0);
  view_.SelectInList(IDC_PORT_NAME, 0);
  view_.SelectInList(IDC_BAUD_RATE, 0);
  view_.SelectInList(IDC_DOT_LINE_WIDTH, 0);

  timeOutValue = 1000;
  codePageValue = 437;

  store_.ListLDNs(kPrinterClassName, ldnNames);
  if (ldnNames.empty()) {
    view_.AddToList(IDC_LDN_LIST, u"");
  } else {
    for (const std::u16string& name : ldnNames) view_.AddToList(IDC_LDN_LIST, name);
    view_.SelectInList(IDC_LDN_LIST, 0);
    ShowLDN(ldnNames.front());
  }

  view_.Focus(IDB_TEST_PRINTER);
  creditText = kCredit;
  ShowValues();
}

void CCorvaleDlg::ShowLDN(const std::u16string& name) {
  printerRecord = LDNRecord(store_, name, kPrinterClassName);
  drawerRecord = LDNRecord(store_, name, kDrawerClassName);
  // The controls never keep another LDN's settings: an LDN whose key is not this tool's, or not
  // the one its entry in the list names, shows what a new LDN holds.
  const LDNRecord blank;
  const LDNRecord& shown = Refusal(printerRecord, name, kPrinterClassName).empty() ? printerRecord : blank;

  portIndex = kPortUsbIndex;
  view_.SelectInList(IDC_PORT_NAME, 0);
  view_.SelectInList(IDC_BAUD_RATE, 0);
  view_.SetIpAddress(IDC_IP_ADDRESS, 0);
  shownPortName_ = kNotShown;
  shownBaudRate_ = kNotShown;

  const std::uint32_t setting = shown.PortSetting;
  switch (shown.PortType) {
    case kPortUsb:
      portIndex = kPortUsbIndex;
      break;
    case kPortSerial:
      portIndex = kPortSerialIndex;
      view_.SelectInList(IDC_PORT_NAME, static_cast<int>(setting & 0xFF) - 1);
      view_.SelectInList(IDC_BAUD_RATE, static_cast<int>((setting >> 8) & 0xFF) - 1);
      shownPortName_ = view_.ListSelection(IDC_PORT_NAME);
      shownBaudRate_ = view_.ListSelection(IDC_BAUD_RATE);
      break;
    case kPortEthernet:
      portIndex = kPortEthernetIndex;
      view_.SetIpAddress(IDC_IP_ADDRESS, setting);
      break;
    default:
      break;
  }

  timeOutValue = shown.TimeOut;
  EnablePortControls(portIndex);
  codePageValue = shown.CharCodePage;
  view_.SelectInList(IDC_DOT_LINE_WIDTH, shown.DotLineWidth == kWideLine ? 1 : 0);
  view_.SelectInList(IDC_EFFECTS, shown.Effects <= 10 ? static_cast<int>(shown.Effects) : -1);
  shownDotLineWidth_ = view_.ListSelection(IDC_DOT_LINE_WIDTH);
  shownEffect_ = view_.ListSelection(IDC_EFFECTS);
  ShowValues();
}

bool CCorvaleDlg::ReadNumber(int editId, std::uint32_t minimum, std::uint32_t maximum, std::uint32_t& value) {
  std::uint32_t number = 0;
  const Parse parsed = ParseUnsigned(view_.Text(editId), number);
  std::u16string message;
  if (parsed == Parse::kNotANumber) {
    message = messages::kNotANumber;
  } else {
    if (parsed == Parse::kNumber) value = number;
    if (parsed == Parse::kNumber && number >= minimum && number <= maximum) return true;
    message = messages::Fill(messages::kOutOfRange, Decimal(minimum), Decimal(maximum));
  }
  view_.ShowMessage(message, kMbOk | kMbIconExclamation);
  view_.FocusAndSelectAll(editId);
  return false;
}

bool CCorvaleDlg::ReadControls() {
  if (!ReadNumber(IDE_TIME_OUT, 10, 10000, timeOutValue)) return false;
  if (!ReadNumber(IDE_CODE_PAGE, 0, 99999, codePageValue)) return false;
  portIndex = -1;
  for (int i = 0; i < 3; ++i) {
    if (view_.IsChecked(kPortRadios[i])) {
      portIndex = i;
      break;
    }
  }
  return true;
}

void CCorvaleDlg::ShowValues() {
  view_.SetText(IDE_TIME_OUT, Decimal(timeOutValue));
  view_.SetText(IDE_CODE_PAGE, Decimal(codePageValue));
  for (int i = 0; i < 3; ++i) view_.SetChecked(kPortRadios[i], i == portIndex);
  view_.SetText(IDT_CREDIT, creditText);
}

void CCorvaleDlg::EnablePortControls(int index) {
  view_.Enable(IDC_IP_ADDRESS, index == kPortEthernetIndex);
  view_.Enable(IDC_PORT_NAME, index == kPortSerialIndex);
  view_.Enable(IDC_BAUD_RATE, index == kPortSerialIndex);
}

void CCorvaleDlg::CollectSettings(LDNRecord& record) {
  // A list that still shows what it showed keeps the stored setting: "576" stands for any width
  // but 640, and a list without selection for a value it has no entry for.
  const int dotLineWidth = view_.ListSelection(IDC_DOT_LINE_WIDTH);
  if (dotLineWidth != shownDotLineWidth_) record.DotLineWidth = dotLineWidth == 0 ? 576 : kWideLine;
  const int effect = view_.ListSelection(IDC_EFFECTS);
  if (effect != shownEffect_ && effect >= 0) record.Effects = static_cast<std::uint32_t>(effect);
  const std::uint32_t storedPortType = record.PortType;
  record.CharCodePage = codePageValue;
  record.PortType = static_cast<std::uint32_t>(portIndex + 1);
  record.TimeOut = timeOutValue;
  switch (portIndex) {
    case kPortUsbIndex:
      record.PortSetting = 0;
      break;
    case kPortSerialIndex: {
      auto byte = [&](int listId, int shown, int shift) {
        const int selected = view_.ListSelection(listId);
        if (selected == shown && storedPortType == kPortSerial) return (record.PortSetting >> shift) & 0xFF;
        return static_cast<std::uint32_t>(selected + 1) & 0xFF;
      };
      const std::uint32_t port = byte(IDC_PORT_NAME, shownPortName_, 0);
      const std::uint32_t baud = byte(IDC_BAUD_RATE, shownBaudRate_, 8);
      record.PortSetting = (record.PortSetting & 0xFFFF0000u) | baud << 8 | port;
      break;
    }
    case kPortEthernetIndex:
      record.PortSetting = view_.IpAddress(IDC_IP_ADDRESS);
      break;
    default:
      break;
  }
}

std::u16string CCorvaleDlg::Refusal(const LDNRecord& record, const std::u16string& name,
                                    const std::u16string& deviceClass) const {
  // A record that found no key holds no one's settings; one whose key lacks the marker, or stands
  // in front of the alias that the list shows, would write over another program's or LDN's device.
  if (!record.KeyFound()) return messages::Fill(messages::kLdnNotFoundInClass, name, deviceClass);
  if (!CarriesMadeByToolMarker(record.VersionSO) || record.ShadowsAlias()) {
    return messages::Fill(messages::kNotItsKey, name, deviceClass);
  }
  return {};
}

CCorvaleDlg::Applied CCorvaleDlg::ApplyToSelectedLdn(std::u16string* name, std::u16string* notes) {
  notes->clear();
  const int selected = view_.ListSelection(IDC_LDN_LIST);
  *name = selected < 0 ? std::u16string() : view_.ListText(IDC_LDN_LIST, selected);
  // The blank entry of an empty list names no LDN.
  if (name->empty()) {
    view_.ShowMessage(messages::kNoLdn, kMbOk | kMbIconExclamation);
    return Applied::kStopped;
  }
  if (!ReadControls()) return Applied::kStopped;
  if (const std::u16string refusal = Refusal(printerRecord, *name, kPrinterClassName); !refusal.empty()) {
    view_.ShowMessage(refusal + u"\r\n" + messages::kNothingWritten, kMbOk | kMbIconExclamation);
    return Applied::kStopped;
  }
  CollectSettings(printerRecord);
  CollectSettings(drawerRecord);
  // The records now hold what the lists show.
  shownDotLineWidth_ = view_.ListSelection(IDC_DOT_LINE_WIDTH);
  shownEffect_ = view_.ListSelection(IDC_EFFECTS);
  if (portIndex == kPortSerialIndex) {
    shownPortName_ = view_.ListSelection(IDC_PORT_NAME);
    shownBaudRate_ = view_.ListSelection(IDC_BAUD_RATE);
  }
  if (!printerRecord.WriteLDN(store_, printerRecord.KeyName, kPrinterClassName)) return Applied::kWriteFailed;
  std::vector<std::u16string> kept = printerRecord.KeptAsStored();
  Applied applied = Applied::kWritten;
  if (const std::u16string refusal = Refusal(drawerRecord, *name, kDrawerClassName); !refusal.empty()) {
    *notes = refusal + u"\r\n" + messages::kOnlyPrinterWritten;
    applied = Applied::kPrinterOnly;
  } else if (!drawerRecord.WriteLDN(store_, drawerRecord.KeyName, kDrawerClassName)) {
    return Applied::kWriteFailed;
  } else {
    for (const std::u16string& value : drawerRecord.KeptAsStored()) {
      if (std::find(kept.begin(), kept.end(), value) == kept.end()) kept.push_back(value);
    }
  }
  if (!kept.empty()) {
    std::u16string names;
    for (const std::u16string& value : kept) names += (names.empty() ? u"" : u", ") + value;
    *notes += (notes->empty() ? u"" : u"\r\n") + messages::Fill(messages::kKeptAsStored, names);
  }
  return applied;
}

void CCorvaleDlg::OnApply() {
  std::u16string name;
  std::u16string notes;
  switch (ApplyToSelectedLdn(&name, &notes)) {
    case Applied::kStopped:
      break;
    case Applied::kWritten:
      if (notes.empty()) {
        view_.ShowMessage(messages::kApplySuccess, kMbOk);
      } else {
        view_.ShowMessage(messages::kApplySuccess + u"\r\n" + notes, kMbOk | kMbIconExclamation);
      }
      break;
    case Applied::kPrinterOnly:
      view_.ShowMessage(notes, kMbOk | kMbIconExclamation);
      break;
    case Applied::kWriteFailed:
      view_.ShowMessage(messages::kApplyFailed, kMbOk);
      break;
  }
}

void CCorvaleDlg::OnTestPrinter() {
  std::u16string name;
  std::u16string notes;
  switch (ApplyToSelectedLdn(&name, &notes)) {
    case Applied::kStopped:
      return;
    case Applied::kWriteFailed:
      view_.ShowMessage(messages::kApplyFailed, kMbOk);
      return;
    case Applied::kWritten:
    case Applied::kPrinterOnly:
      // The printer, which the test prints on, has its settings; the technician reads first what
      // else there is to know.
      if (!notes.empty()) view_.ShowMessage(notes, kMbOk | kMbIconExclamation);
      break;
  }
  StartTestProgram(name);
}

void CCorvaleDlg::StartTestProgram(const std::u16string& name) {
  // Only the copy in the tool's own folder: a bare file name would let the shell look along PATH
  // and in App Paths, which any program of the same user can fill, and the tool runs elevated.
  const std::u16string directory = shell_.CurrentDirectory();
  if (directory.empty()) {
    view_.ShowMessage(messages::Fill(messages::kCannotStart, u"Dunlith.exe", messages::kNoCurrentDirectory),
                      kMbOk | kMbIconExclamation);
    return;
  }
  const std::u16string program = directory + (directory.back() == u'\\' ? u"" : u"\\") + u"Dunlith.exe";
  std::u16string failure;
  if (!shell_.Execute(view_.Handle(), u"open", program, name, directory, kShowNormal, &failure)) {
    view_.ShowMessage(messages::Fill(messages::kCannotStart, program, failure), kMbOk | kMbIconExclamation);
  }
}

void CCorvaleDlg::OnDelete() {
  ReadControls();
  const int selected = view_.ListSelection(IDC_LDN_LIST);
  const std::u16string name = selected < 0 ? std::u16string() : view_.ListText(IDC_LDN_LIST, selected);
  if (name.empty()) {
    view_.ShowMessage(messages::kSelectValidLdn, kMbOk);
    return;
  }
  const int printer = store_.DeleteLDN(kPrinterClassName, name);
  const int drawer = store_.DeleteLDN(kDrawerClassName, name);
  if (printer == kLdnDeleted && drawer == kLdnDeleted) {
    view_.ShowMessage(messages::kDeleteSuccess, kMbOk);
    RefreshLDNList(u"");
    return;
  }
  // Half of it gone: what is left is named, and the list no longer shows what went.
  std::u16string message = messages::kDeleteFailed;
  const bool partly = printer == kLdnDeleted || drawer == kLdnDeleted;
  if (partly) {
    for (const std::u16string* deviceClass : {&kPrinterClassName, &kDrawerClassName}) {
      if (store_.HasLDNAlias(*deviceClass, name)) message += u"\r\n" + messages::Fill(messages::kLeftUnder, name, *deviceClass);
    }
  }
  view_.ShowMessage(message, kMbOk);
  if (partly) RefreshLDNList(u"");
}

void CCorvaleDlg::OnLdnSelectionChange() {
  const int selected = view_.ListSelection(IDC_LDN_LIST);
  ShowLDN(selected < 0 ? std::u16string() : view_.ListText(IDC_LDN_LIST, selected));
}

void CCorvaleDlg::OnPortChoice() {
  ReadControls();
  EnablePortControls(portIndex);
  ShowValues();
}

void CCorvaleDlg::RefreshLDNList(const std::u16string& wantedName) {
  ReadControls();
  view_.ResetList(IDC_LDN_LIST);
  store_.ListLDNs(kPrinterClassName, ldnNames);
  if (ldnNames.empty()) {
    view_.AddToList(IDC_LDN_LIST, u"");
  } else {
    int position = -1;
    for (std::size_t i = 0; i < ldnNames.size(); ++i) {
      view_.AddToList(IDC_LDN_LIST, ldnNames[i]);
      if (position < 0 && !wantedName.empty() && ldnNames[i] == wantedName) position = static_cast<int>(i);
    }
    if (position < 0) position = 0;
    view_.SelectInList(IDC_LDN_LIST, position);
    ShowLDN(ldnNames[static_cast<std::size_t>(position)]);
  }
  ShowValues();
}

void CCorvaleDlg::OnNew() {
  InputNewLDN dialog(store_);
  view_.RunNewLdnDialog(dialog);
  if (!dialog.newName.empty()) RefreshLDNList(dialog.newName);
}

}  // namespace corvale
