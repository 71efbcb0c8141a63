#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "escpos_printer.h"
#include "ports/transports.h"

// The transports for a contract test: the in-memory stand-ins, or the Win32 adapters (under
// Wine) with real peers on this machine.
namespace dunlith::testing {

class NetworkUnderTest {
 public:
  virtual ~NetworkUnderTest() = default;
  virtual Network& network() = 0;
  // Ports on 127.0.0.1 with a peer of each kind behind them.
  virtual std::uint16_t Reading() = 0;     // accepts and reads everything
  virtual std::uint16_t Refusing() = 0;    // nothing listens
  virtual std::uint16_t Silent() = 0;      // connection requests go unanswered
  virtual std::uint16_t NotReading() = 0;  // accepts, then reads nothing
  // An ESC/POS printer that answers as |behaviour| says.
  virtual std::uint16_t Answering(const PrinterCase& behaviour) = 0;
  // What the reading peer received once the connection has ended.
  virtual Bytes Received() = 0;
  // Whether the time-outs take real time.
  virtual bool Waits() const = 0;
};

class UsbUnderTest {
 public:
  virtual ~UsbUnderTest() = default;
  virtual UsbPrinters& usb() = 0;
  // A present USB printing interface whose device is not there to open, as Windows keeps one
  // for a printer that was unplugged; its device path as the list gives it. Empty where the
  // backend cannot make one.
  virtual std::u16string PlugUnopenable(const std::string& hardwareId, const std::string& instance) = 0;
};

class SerialUnderTest {
 public:
  virtual ~SerialUnderTest() = default;
  virtual SerialPorts& serial() = 0;
};

struct TransportBackend {
  std::string name;
  std::function<std::unique_ptr<NetworkUnderTest>()> network;
  std::function<std::unique_ptr<UsbUnderTest>()> usb;
  std::function<std::unique_ptr<SerialUnderTest>()> serial;
};

inline std::ostream& operator<<(std::ostream& os, const TransportBackend& backend) { return os << backend.name; }

// The stand-ins everywhere, and the Win32 adapters where the tests run on Windows or Wine.
std::vector<TransportBackend> TransportBackends();

#ifdef _WIN32
bool RunningUnderWine();
// Registers a USB printing interface in Wine's registry, where Wine's SetupAPI finds its
// devices, and removes it again.
class WineUsbRegistration {
 public:
  WineUsbRegistration() = default;
  WineUsbRegistration(const WineUsbRegistration&) = delete;
  WineUsbRegistration& operator=(const WineUsbRegistration&) = delete;
  ~WineUsbRegistration();
  // The device path the list gives for it.
  std::u16string Plug(const std::string& hardwareId, const std::string& instance);

 private:
  std::vector<std::wstring> keys_;
};
#endif

}  // namespace dunlith::testing
