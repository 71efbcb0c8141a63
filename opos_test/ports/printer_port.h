#pragma once

#include <cstddef>
#include <string>

#include "port_config.h"
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
};

struct SendResult {
  SendEnd end = SendEnd::kSent;
  std::size_t sent = 0;
  std::size_t total = 0;
  PortError error;
  std::u16string device;  // USB: the device path concerned
};

// Opens the port of |port|, writes |data| within its time-out, at most kLongestWaitMs, and
// closes the port again.
SendResult SendToPrinter(const PortConfig& port, const Bytes& data, Transports& transports);

}  // namespace dunlith
