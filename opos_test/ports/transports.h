#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The three ways to a receipt printer, each as small as Dunlith needs it. Each has a Win32
// adapter and, beside the tests, an in-memory stand-in that answers as Windows does.
namespace dunlith {

using Bytes = std::vector<std::uint8_t>;

// A failure as the system reports it: its error code and its own words for it.
struct PortError {
  std::uint32_t code = 0;
  std::u16string text;
};

enum class WriteEnd {
  kComplete,
  kTimedOut,  // the printer took no more within the time-out
  kFailed,
};

struct WriteResult {
  WriteEnd end = WriteEnd::kComplete;
  std::size_t written = 0;
  PortError error;
};

enum class ReadEnd {
  kNothing,    // nothing came within the wait
  kData,       // something came
  kClosed,     // the printer ended the connection
  kFailed,     // the port failed: a reset connection, a device that went away
  kNoReading,  // this way to the printer carries nothing back
};

struct ReadResult {
  ReadEnd end = ReadEnd::kNothing;
  std::uint32_t waitedMs = 0;
  PortError error;
};

// An open way to one printer. Destroying it closes it.
class PrinterConnection {
 public:
  PrinterConnection() = default;
  PrinterConnection(const PrinterConnection&) = delete;
  PrinterConnection& operator=(const PrinterConnection&) = delete;
  virtual ~PrinterConnection() = default;
  // Writes all of |data|, giving up once |timeoutMs| have passed; says how much went.
  virtual WriteResult Write(const Bytes& data, std::uint32_t timeoutMs) = 0;
  // Appends to |into| what the printer sends within |waitMs|, returning as soon as anything has
  // come (at once with what is waiting, for a wait of 0), and says how long it waited.
  virtual ReadResult Read(Bytes* into, std::uint32_t waitMs) = 0;
};

enum class ConnectEnd {
  kConnected,
  kRefused,       // something answered that nothing listens there
  kTimedOut,      // nothing answered within the time-out
  kFailed,        // any other refusal of the network
  kNoNetworking,  // Windows' sockets could not be loaded or started
};

// TCP over IPv4 (Winsock 2).
class Network {
 public:
  virtual ~Network() = default;
  // |address| has its first octet in the most significant byte.
  virtual ConnectEnd Connect(std::uint32_t address, std::uint16_t port, std::uint32_t timeoutMs,
                             std::unique_ptr<PrinterConnection>* connection, PortError* error) = 0;
};

enum class SerialEnd {
  kOpened,
  kOpenFailed,   // CreateFile refused the port
  kSetupFailed,  // the port refused the speed, the frame or the time-outs
};

// COM ports.
class SerialPorts {
 public:
  virtual ~SerialPorts() = default;
  // COM|number| at |baud|, 8 data bits, no parity, 1 stop bit; a write gives up after
  // |timeoutMs| in all unless it is given a time-out of its own.
  virtual SerialEnd Open(unsigned number, std::uint32_t baud, std::uint32_t timeoutMs,
                         std::unique_ptr<PrinterConnection>* connection, PortError* error) = 0;
};

// The USB printing device-interface class.
class UsbPrinters {
 public:
  virtual ~UsbPrinters() = default;
  // The device paths of the present interfaces, in the order Windows lists them. False when the
  // list cannot be had.
  virtual bool List(std::vector<std::u16string>* devicePaths, PortError* error) = 0;
  // Opens |devicePath| for writing and, where the device allows it, for reading.
  virtual bool Open(const std::u16string& devicePath, std::unique_ptr<PrinterConnection>* connection,
                    PortError* error) = 0;
};

struct Transports {
  Network& network;
  SerialPorts& serial;
  UsbPrinters& usb;
};

}  // namespace dunlith
