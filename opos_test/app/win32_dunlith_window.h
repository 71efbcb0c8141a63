#pragma once

#include <windows.h>

#include <string>

#include "dunlith_dlg.h"
#include "dunlith_view.h"
#include "ports/transports.h"

namespace dunlith {

// Dunlith's dialog window: maps its messages to the commands of CDunlithDlg and runs each send
// on a worker thread of its own, which posts the result back.
class Win32DunlithWindow final : public DunlithView {
 public:
  Win32DunlithWindow(CDunlithDlg& commands, Transports& transports, std::u16string parameters)
      : commands_(commands), transports_(transports), parameters_(std::move(parameters)) {}
  Win32DunlithWindow(const Win32DunlithWindow&) = delete;
  Win32DunlithWindow& operator=(const Win32DunlithWindow&) = delete;

  // Runs the dialog modally; its end value is the program's exit code.
  int Run(HINSTANCE instance);

  void SetButtonTexts(const std::u16string& close, const std::u16string& openDrawer) override;
  void ShowReport(const std::u16string& text) override;
  void EnableOpenDrawer(bool enabled) override;
  bool StartSend(const PortConfig& port, const Bytes& data, SendKind kind) override;
  void StartAutoClose(std::uint32_t milliseconds) override;
  void StopAutoClose() override;
  void End(int exitCode) override;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  bool Handle(UINT message, WPARAM wParam, LPARAM lParam);

  CDunlithDlg& commands_;
  Transports& transports_;
  std::u16string parameters_;
  HWND hwnd_ = nullptr;
};

}  // namespace dunlith
