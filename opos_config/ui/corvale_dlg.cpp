#include "corvale_dlg.h"

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

std::u16string ReplaceAll(std::u16string text, const std::u16string& what, const std::u16string& with) {
  for (std::size_t at = text.find(what); at != std::u16string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
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
  if (!CarriesMadeByToolMarker(printerRecord.VersionSO)) return;

  portIndex = kPortUsbIndex;
  view_.SelectInList(IDC_PORT_NAME, 0);
  view_.SelectInList(IDC_BAUD_RATE, 0);
  view_.SetIpAddress(IDC_IP_ADDRESS, 0);

  const std::uint32_t setting = printerRecord.PortSetting;
  switch (printerRecord.PortType) {
    case kPortUsb:
      portIndex = kPortUsbIndex;
      break;
    case kPortSerial:
      portIndex = kPortSerialIndex;
      view_.SelectInList(IDC_PORT_NAME, static_cast<int>(setting & 0xFF) - 1);
      view_.SelectInList(IDC_BAUD_RATE, static_cast<int>((setting >> 8) & 0xFF) - 1);
      break;
    case kPortEthernet:
      portIndex = kPortEthernetIndex;
      view_.SetIpAddress(IDC_IP_ADDRESS, setting);
      break;
    default:
      break;
  }

  timeOutValue = printerRecord.TimeOut;
  EnablePortControls(portIndex);
  codePageValue = printerRecord.CharCodePage;
  view_.SelectInList(IDC_DOT_LINE_WIDTH, printerRecord.DotLineWidth == kWideLine ? 1 : 0);
  view_.SelectInList(IDC_EFFECTS, printerRecord.Effects <= 10 ? static_cast<int>(printerRecord.Effects) : -1);
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
    message = ReplaceAll(ReplaceAll(messages::kOutOfRange, u"%1", Decimal(minimum)), u"%2", Decimal(maximum));
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
  record.DotLineWidth = view_.ListSelection(IDC_DOT_LINE_WIDTH) == 0 ? 576 : kWideLine;
  record.Effects = static_cast<std::uint32_t>(view_.ListSelection(IDC_EFFECTS));
  record.CharCodePage = codePageValue;
  record.PortType = static_cast<std::uint32_t>(portIndex + 1);
  record.TimeOut = timeOutValue;
  switch (portIndex) {
    case kPortUsbIndex:
      record.PortSetting = 0;
      break;
    case kPortSerialIndex: {
      const auto port = static_cast<std::uint32_t>(view_.ListSelection(IDC_PORT_NAME) + 1) & 0xFF;
      const auto baud = static_cast<std::uint32_t>(view_.ListSelection(IDC_BAUD_RATE) + 1) & 0xFF;
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

CCorvaleDlg::Applied CCorvaleDlg::ApplyToSelectedLdn(std::u16string* name) {
  const int selected = view_.ListSelection(IDC_LDN_LIST);
  *name = selected < 0 ? std::u16string() : view_.ListText(IDC_LDN_LIST, selected);
  // The blank entry of an empty list names no LDN.
  if (name->empty()) {
    view_.ShowMessage(messages::kNoLdn, kMbOk | kMbIconExclamation);
    return Applied::kStopped;
  }
  if (!ReadControls()) return Applied::kStopped;
  CollectSettings(printerRecord);
  CollectSettings(drawerRecord);
  // A record goes back only to the key it was read from: one that found no key would otherwise
  // land on whatever key its empty or foreign LDNName names.
  if (!printerRecord.KeyFound()) return Applied::kPrinterMissing;
  if (!printerRecord.WriteLDN(store_, printerRecord.KeyName, kPrinterClassName)) return Applied::kWriteFailed;
  if (!drawerRecord.KeyFound()) return Applied::kDrawerMissing;
  if (!drawerRecord.WriteLDN(store_, drawerRecord.KeyName, kDrawerClassName)) return Applied::kWriteFailed;
  return Applied::kWritten;
}

void CCorvaleDlg::ShowMissing(const std::u16string& name, const std::u16string& deviceClass,
                              const std::u16string& outcome) {
  const std::u16string missing =
      ReplaceAll(ReplaceAll(messages::kLdnNotFoundInClass, u"%2", deviceClass), u"%1", name);
  view_.ShowMessage(missing + u"\r\n" + outcome, kMbOk | kMbIconExclamation);
}

void CCorvaleDlg::OnApply() {
  std::u16string name;
  switch (ApplyToSelectedLdn(&name)) {
    case Applied::kStopped:
      break;
    case Applied::kWritten:
      view_.ShowMessage(messages::kApplySuccess, kMbOk);
      break;
    case Applied::kWriteFailed:
      view_.ShowMessage(messages::kApplyFailed, kMbOk);
      break;
    case Applied::kPrinterMissing:
      ShowMissing(name, kPrinterClassName, messages::kNothingWritten);
      break;
    case Applied::kDrawerMissing:
      ShowMissing(name, kDrawerClassName, messages::kOnlyPrinterWritten);
      break;
  }
}

void CCorvaleDlg::OnTestPrinter() {
  std::u16string name;
  switch (ApplyToSelectedLdn(&name)) {
    case Applied::kStopped:
      return;
    case Applied::kWriteFailed:
      view_.ShowMessage(messages::kApplyFailed, kMbOk);
      return;
    case Applied::kPrinterMissing:
      ShowMissing(name, kPrinterClassName, messages::kNothingWritten);
      return;
    case Applied::kDrawerMissing:
      // The printer, which the test prints on, has its settings; the message says what is missing.
      ShowMissing(name, kDrawerClassName, messages::kOnlyPrinterWritten);
      break;
    case Applied::kWritten:
      break;
  }
  // Only the copy in the tool's own folder: a bare file name would let the shell look along PATH
  // and in App Paths, which any program of the same user can fill, and the tool runs elevated.
  const std::u16string directory = shell_.CurrentDirectory();
  if (directory.empty()) return;
  const std::u16string program = directory + (directory.back() == u'\\' ? u"" : u"\\") + u"Dunlith.exe";
  shell_.Execute(view_.Handle(), u"open", program, name, directory, kShowNormal);
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
  } else {
    view_.ShowMessage(messages::kDeleteFailed, kMbOk);
  }
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
