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
  Send(receipt, SendingReceiptText(language_, receipt.size(), target_.port, target_.name));
}

void CDunlithDlg::Send(const Bytes& data, const std::u16string& announcement) {
  view_->StopAutoClose();
  Report(announcement);
  sending_ = true;
  UpdateDrawerButton();
  if (!view_->StartSend(target_.port, data)) {
    sending_ = false;
    exitCode_ = kExitPortFailure;
    UpdateDrawerButton();
    Report(NotStartedText(language_));
  }
}

void CDunlithDlg::OnSendFinished(const SendResult& result) {
  if (view_ == nullptr || !sending_) return;
  sending_ = false;
  exitCode_ = result.end == SendEnd::kSent ? kExitSent : kExitPortFailure;
  UpdateDrawerButton();
  Report(OutcomeText(language_, result, target_.port));
  if (exitCode_ == kExitSent) {
    Report(ClosesSoonText(language_));
    view_->StartAutoClose(kAutoCloseMs);
  }
}

void CDunlithDlg::OnOpenDrawer() {
  if (view_ == nullptr || sending_ || !target_.hasDrawer) return;
  Send(DrawerPulse(), SendingPulseText(language_, target_.port));
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
