#pragma once

#include <cstdint>
#include <string>

#include "ports/printer_port.h"

namespace dunlith {

// Exit codes, for scripts.
inline constexpr int kExitSent = 0;
inline constexpr int kExitPortFailure = 1;
inline constexpr int kExitBadLdn = 2;
inline constexpr int kExitNotReady = 3;

// A success closes the window by itself after this long.
inline constexpr std::uint32_t kAutoCloseMs = 3000;

// What the commands of Dunlith's window see of it.
class DunlithView {
 public:
  virtual ~DunlithView() = default;
  virtual void SetButtonTexts(const std::u16string& close, const std::u16string& openDrawer) = 0;
  // The whole text of the multi-line report.
  virtual void ShowReport(const std::u16string& text) = 0;
  virtual void EnableOpenDrawer(bool enabled) = 0;
  // Runs SendToPrinter on a worker thread, so that the window stays responsive; its result
  // comes back through OnSendFinished. False when no worker could be started.
  virtual bool StartSend(const PortConfig& port, const Bytes& data, SendKind kind) = 0;
  virtual void StartAutoClose(std::uint32_t milliseconds) = 0;
  virtual void StopAutoClose() = 0;
  // Closes the window; the program ends with |exitCode|.
  virtual void End(int exitCode) = 0;
};

}  // namespace dunlith
