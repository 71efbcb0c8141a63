#pragma once

#include <cstdint>
#include <string>

// Where an LDN's printer is and how long it may take, as the OPOS service object reads it.
namespace dunlith {

enum class PortKind { kUsb, kSerial, kEthernet };

// Printers that take raw ESC/POS over TCP listen on this port.
inline constexpr std::uint16_t kRawPrintingPort = 9100;

// No connection, opening or write waits longer, whatever an LDN's "TimeOut" says: 0xFFFFFFFF
// would be INFINITE to the system, and a printer that has not answered in a minute will not.
inline constexpr std::uint32_t kLongestWaitMs = 60000;
constexpr std::uint32_t BoundedWait(std::uint32_t milliseconds) {
  return milliseconds < kLongestWaitMs ? milliseconds : kLongestWaitMs;
}

struct PortConfig {
  PortKind kind = PortKind::kUsb;
  unsigned comNumber = 0;      // serial: 1 for COM1
  std::uint32_t baud = 0;      // serial: bits per second
  std::uint32_t address = 0;   // Ethernet: IPv4, first octet in the most significant byte
  std::uint16_t tcpPort = kRawPrintingPort;
  std::uint32_t timeoutMs = 1000;
};

// Bits per second of the baud-rate code in byte 1 of a serial PortSetting; 0 for no code.
std::uint32_t BaudOfCode(std::uint32_t code);

std::string DottedAddress(std::uint32_t address);

// The port as the receipt and the window name it: "USB", "COM3 at 19200", "192.168.1.100:9100".
std::string PortWords(const PortConfig& port);

// The port as the outcome names it: "the USB printer", "COM3", "192.168.1.100:9100".
std::string PortName(const PortConfig& port);

}  // namespace dunlith
