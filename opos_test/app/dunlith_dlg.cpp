#include "dunlith_dlg.h"

#include "receipt/receipt.h"

namespace dunlith {

CDunlithDlg::CDunlithDlg(const corvale::OposStore& store, Language language, std::string printedAt)
    : store_(store), language_(language), printedAt_(std::move(printedAt)) {}

void CDunlithDlg::OnInit(DunlithView& view, const std::u16string& parameters) {
  view_ = &view;
  const ButtonTexts buttons = Buttons(language_);
  view.SetButtonTexts(buttons.close, buttons.openDrawer);
  target_ = LookUpNamedLdn(store_, parameters);
  if (target_.problem != LdnProblem::kNone) {
    exitCode_ = kExitBadLdn;
    target_.hasDrawer = false;
    UpdateDrawerButton();
    Report(ProblemText(language_, target_));
    return;
  }
  if (target_.timeOutCapped) Report(TimeOutCappedText(language_, target_.printer.TimeOut));
  ReceiptContent content;
  content.ldnName = target_.name;
  content.portWords = PortWords(target_.port);
  content.printedAt = printedAt_;
  content.dotLineWidth = target_.printer.DotLineWidth;
  content.codePage = target_.printer.CharCodePage;
  const Bytes receipt = BuildReceipt(content);
  Send(receipt, SendKind::kReceipt, SendingReceiptText(language_, receipt.size(), target_.port, target_.name));
}

void CDunlithDlg::Send(const Bytes& data, SendKind kind, const std::u16string& announcement) {
  view_->StopAutoClose();
  Report(announcement);
  sending_ = true;
  kind_ = kind;
  UpdateDrawerButton();
  if (!view_->StartSend(target_.port, data, kind)) {
    sending_ = false;
    exitCode_ = kExitPortFailure;
    UpdateDrawerButton();
    Report(NotStartedText(language_));
  }
}

void CDunlithDlg::OnSendFinished(const SendResult& result) {
  if (view_ == nullptr || !sending_) return;
  sending_ = false;
  UpdateDrawerButton();
  const bool warned = ReportSend(result);
  if (exitCode_ == kExitSent && !warned) {
    Report(ClosesSoonText(language_));
    view_->StartAutoClose(kAutoCloseMs);
  }
}

bool CDunlithDlg::ReportSend(const SendResult& result) {
  const bool pulse = kind_ == SendKind::kPulse;
  const std::uint32_t before = ConditionsOf(result.before);
  if (result.asked) {
    if (!result.model.empty() || !result.firmware.empty()) Report(IdentityText(language_, result.model, result.firmware));
    if (result.before.count == 0) {
      Report(NoStatusText(language_));
    } else if (!pulse || IsNotReady(before)) {
      ReportConditions(before, result.before.count);
    }
  }
  exitCode_ = kExitPortFailure;
  switch (result.end) {
    case SendEnd::kNotReady:
      exitCode_ = kExitNotReady;
      Report(NotReadyText(language_, kind_));
      return true;
    case SendEnd::kLostBefore:
      Report(LostText(language_, kind_, false, target_.port, result));
      return true;
    case SendEnd::kLostAfter:
      Report(OutcomeText(language_, result, target_.port));
      Report(LostText(language_, kind_, true, target_.port, result));
      return true;
    case SendEnd::kSent: break;
    default:
      Report(OutcomeText(language_, result, target_.port));
      return true;
  }
  exitCode_ = kExitSent;
  Report(OutcomeText(language_, result, target_.port));
  bool warned = false;
  const std::uint32_t after = ConditionsOf(result.after);
  if (result.askedAfter && pulse) {
    Report(DrawerSwitchText(language_, before, after, result.after.count > 0));
  } else if (result.askedAfter && result.after.count == 0) {
    Report(NoStatusAfterText(language_));
    warned = true;
  } else if (result.askedAfter && (after != before || result.after.count != result.before.count)) {
    Report(AfterPrintingText(language_));
    ReportConditions(after, result.after.count);
    warned = true;
  }
  if (result.askedAfter && result.after.count > 0 && IsNotReady(after)) {
    exitCode_ = kExitNotReady;
    Report(NotReadyNowText(language_));
    return true;
  }
  if (!pulse && ((before | after) & kPaperNearEnd) != 0) {
    Report(NearEndWarningText(language_));
    warned = true;
  }
  return warned;
}

void CDunlithDlg::ReportConditions(std::uint32_t conditions, std::uint8_t answered) {
  for (const std::u16string& line : ConditionLines(language_, conditions, answered)) Report(line);
}

void CDunlithDlg::OnOpenDrawer() {
  if (view_ == nullptr || sending_ || !target_.hasDrawer) return;
  Send(DrawerPulse(), SendKind::kPulse, SendingPulseText(language_, target_.port));
}

void CDunlithDlg::OnClose() {
  if (view_ == nullptr) return;
  view_->StopAutoClose();
  if (sending_) exitCode_ = kExitPortFailure;
  view_->End(exitCode_);
}

void CDunlithDlg::OnAutoClose() {
  if (view_ == nullptr) return;
  view_->StopAutoClose();
  if (!sending_) view_->End(exitCode_);
}

void CDunlithDlg::Report(const std::u16string& line) {
  if (!report_.empty()) report_ += u"\r\n";
  report_ += line;
  view_->ShowReport(report_);
}

void CDunlithDlg::UpdateDrawerButton() { view_->EnableOpenDrawer(target_.hasDrawer && !sending_); }

}  // namespace dunlith
