#pragma once

#include <string>

#include "dunlith_view.h"
#include "ports/ldn_lookup.h"
#include "texts.h"

namespace dunlith {

// The commands of Dunlith's window: look the LDN up, send the receipt, report, close.
class CDunlithDlg {
 public:
  // |printedAt| is the time the receipt names.
  CDunlithDlg(const corvale::OposStore& store, Language language, std::string printedAt);

  // The window exists: |parameters| is the program's whole parameter text.
  void OnInit(DunlithView& view, const std::u16string& parameters);
  void OnSendFinished(const SendResult& result);
  void OnOpenDrawer();
  // Close, Escape, the close box, or WM_CLOSE from another program. Closing while a send runs
  // abandons it: the port has not been shown to work.
  void OnClose();
  void OnAutoClose();

  bool sending() const { return sending_; }
  int exitCode() const { return exitCode_; }

 private:
  void Report(const std::u16string& line);
  void ReportConditions(std::uint32_t conditions, std::uint8_t answered);
  // Says what the printer answered and how the send ended; true when that holds a warning the
  // window stays open for.
  bool ReportSend(const SendResult& result);
  void Send(const Bytes& data, SendKind kind, const std::u16string& announcement);
  void UpdateDrawerButton();

  const corvale::OposStore& store_;
  Language language_;
  std::string printedAt_;
  DunlithView* view_ = nullptr;
  TestTarget target_;
  std::u16string report_;
  bool sending_ = false;
  SendKind kind_ = SendKind::kReceipt;
  int exitCode_ = kExitPortFailure;
};

}  // namespace dunlith
