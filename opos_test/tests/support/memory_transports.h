#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "escpos_printer.h"
#include "ports/transports.h"

// In-memory stand-ins of the three transports that answer as Windows does, with the system's
// error codes and words, and printers that answer as ESC/POS printers do. Nothing waits: each
// connection keeps a clock of its own that a read moves on by what it waited, a time-out is
// reported at once, and the limit the caller gave is recorded.
namespace dunlith::testing {

// Windows' codes and words for the failures the stand-ins play.
PortError WindowsError(std::uint32_t code);

// What a printer does with the bytes it is sent: it answers the requests among them as
// |behaviour| says and takes |takes| bytes of the rest on each connection, then either stalls
// until the time-out or, with |failCode| set, breaks the connection.
struct MemoryPrinter {
  std::size_t takes = SIZE_MAX;
  std::uint32_t failCode = 0;
  PrinterCase behaviour = kSilentPrinter;
  // False for a device that was opened for writing only: reads carry nothing back.
  bool readable = true;
  std::vector<Bytes> received;  // per connection, as it came, requests included
  std::vector<Bytes> printed;   // per connection, what it prints
  std::vector<std::string> requests;
  std::vector<std::uint32_t> writeTimeouts;
  std::vector<std::uint32_t> readWaits;
  // What it printed, over all connections.
  Bytes All() const;
};

class MemoryNetwork final : public Network {
 public:
  // An address and port with no printer behind them refuse the connection, as a host does on
  // which nothing listens there.
  MemoryPrinter& Listen(std::uint32_t address, std::uint16_t port);
  // A printer that never answers the connection request.
  void Silence(std::uint32_t address, std::uint16_t port);
  // Connecting there fails with |code| (a network that cannot be reached, for instance).
  void Fail(std::uint32_t address, std::uint16_t port, std::uint32_t code);
  // Winsock cannot be loaded or started.
  void RemoveNetworking(std::uint32_t code) { noNetworking_ = code; }

  ConnectEnd Connect(std::uint32_t address, std::uint16_t port, std::uint32_t timeoutMs,
                     std::unique_ptr<PrinterConnection>* connection, PortError* error) override;

  std::vector<std::uint32_t> connectTimeouts;

 private:
  using Endpoint = std::pair<std::uint32_t, std::uint16_t>;
  std::map<Endpoint, MemoryPrinter> printers_;
  std::map<Endpoint, std::uint32_t> failures_;  // 0: silent
  std::uint32_t noNetworking_ = 0;
};

struct MemorySerialPort {
  std::uint32_t openError = 0;   // e.g. 5 while another program holds the port
  bool refusesSettings = false;  // SetCommState fails with 87
  MemoryPrinter printer;
  std::uint32_t baud = 0;
  std::uint32_t writeTotalTimeout = 0;
  int opens = 0;
};

class MemorySerialPorts final : public SerialPorts {
 public:
  // A port that does not exist fails to open with ERROR_FILE_NOT_FOUND, as CreateFile does.
  MemorySerialPort& Add(unsigned number);
  SerialEnd Open(unsigned number, std::uint32_t baud, std::uint32_t timeoutMs,
                 std::unique_ptr<PrinterConnection>* connection, PortError* error) override;

 private:
  std::map<unsigned, MemorySerialPort> ports_;
};

struct MemoryUsbDevice {
  std::u16string path;
  std::uint32_t openError = 0;
  MemoryPrinter printer;
};

class MemoryUsbPrinters final : public UsbPrinters {
 public:
  // Listed in the order added.
  MemoryUsbDevice& Add(const std::u16string& path);
  void FailListing(std::uint32_t code) { listError_ = code; }

  bool List(std::vector<std::u16string>* devicePaths, PortError* error) override;
  bool Open(const std::u16string& devicePath, std::unique_ptr<PrinterConnection>* connection,
            PortError* error) override;

 private:
  std::vector<std::unique_ptr<MemoryUsbDevice>> devices_;
  std::uint32_t listError_ = 0;
};

// The three stand-ins together.
struct MemoryTransports {
  MemoryNetwork network;
  MemorySerialPorts serial;
  MemoryUsbPrinters usb;
  Transports transports{network, serial, usb};
};

}  // namespace dunlith::testing
