#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/dunlith_dlg.h"
#include "app/dunlith_view.h"
#include "platform/system_info.h"

namespace dunlith::testing {

// Dunlith's window as the commands see it, recording what they do. A send waits until the test
// runs it, the way the worker thread's result arrives later.
class FakeDunlithView final : public DunlithView {
 public:
  struct PendingSend {
    PortConfig port;
    Bytes data;
    SendKind kind;
  };

  void SetButtonTexts(const std::u16string& close, const std::u16string& openDrawer) override {
    closeText = close;
    openDrawerText = openDrawer;
  }
  void ShowReport(const std::u16string& text) override { report = text; }
  void EnableOpenDrawer(bool enabled) override { openDrawerEnabled = enabled; }
  bool StartSend(const PortConfig& port, const Bytes& data, SendKind kind) override {
    if (refuseWorker) return false;
    sends.push_back({port, data, kind});
    return true;
  }
  void StartAutoClose(std::uint32_t milliseconds) override { autoCloseMs = milliseconds; }
  void StopAutoClose() override { autoCloseMs.reset(); }
  void End(int code) override { exitCode = code; }

  // Runs the latest send against |transports| and hands its result to |commands|.
  SendResult RunSend(CDunlithDlg& commands, Transports& transports) {
    const SendResult result = SendToPrinter(sends.back().port, sends.back().data, sends.back().kind, transports);
    commands.OnSendFinished(result);
    return result;
  }

  std::u16string closeText;
  std::u16string openDrawerText;
  std::u16string report;
  bool openDrawerEnabled = false;
  bool refuseWorker = false;
  std::vector<PendingSend> sends;
  std::optional<std::uint32_t> autoCloseMs;
  std::optional<int> exitCode;
};

// A machine whose native architecture is fixed.
class FixedArchitecture final : public corvale::SystemInfo {
 public:
  explicit FixedArchitecture(std::uint16_t architecture) : architecture_(architecture) {}
  std::uint16_t NativeProcessorArchitecture() const override { return architecture_; }

 private:
  std::uint16_t architecture_;
};

}  // namespace dunlith::testing
