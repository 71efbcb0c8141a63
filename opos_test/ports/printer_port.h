#pragma once

#include <cstddef>
#include <string>

#include "port_config.h"
#include "printer_status.h"
#include "transports.h"

namespace dunlith {

enum class SendEnd {
  kSent,
  kNoNetworking,   // Windows' sockets are not available
  kRefused,        // TCP: nothing listens at the address
  kNoAnswer,       // TCP: nothing answered within the time-out
  kUnreachable,    // TCP: any other connection failure
  kOpenFailed,     // serial or USB: the port did not open
  kSetupFailed,    // serial: the port refused its settings
  kNoUsbPrinter,   // USB: no printing interface is present
  kUsbListFailed,  // USB: the interfaces could not be listed
  kStalled,        // the printer stopped taking data within the time-out
  kWriteFailed,
  kNotReady,       // the printer's status says it would not print now: nothing was sent
  kLostBefore,     // the connection ended after the status requests, before the data went
  kLostAfter,      // the data went, then the connection ended before the printer confirmed it
};

// A receipt, which the printer is asked who it is for, or a drawer pulse, after which the drawer
// is given time to move before the switch is read again.
enum class SendKind { kReceipt, kPulse };

struct SendResult {
  SendEnd end = SendEnd::kSent;
  std::size_t sent = 0;
  std::size_t total = 0;
  PortError error;
  std::u16string device;  // USB: the device path concerned
  // The port opened, so the printer was asked for its status.
  bool asked = false;
  PrinterStatus before;
  // Asked only where the printer answered before and the data went whole.
  bool askedAfter = false;
  PrinterStatus after;
  std::string model;     // GS I answers; empty where there was none
  std::string firmware;
};

// How long Dunlith waits for one answer of the printer: at most 1 s, never more than the port's
// time-out, so that a link that carries nothing back costs about a second.
inline constexpr std::uint32_t kLongestAnswerWaitMs = 1000;
// How long a drawer takes to move after the pulse before its switch is read again.
inline constexpr std::uint32_t kDrawerSettleMs = 600;

// Opens the port of |port| and asks the printer for its status; unless that says the printer
// is not ready, writes |data| within the port's time-out, at most kLongestWaitMs, and asks again;
// then closes the port.
SendResult SendToPrinter(const PortConfig& port, const Bytes& data, SendKind kind, Transports& transports);

}  // namespace dunlith
