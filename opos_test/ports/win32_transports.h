#pragma once

#include "transports.h"

namespace dunlith {

// TCP through Winsock 2, which is loaded from the system directory on first use. Only one send
// runs at a time, so the loading needs no lock.
class Win32Network final : public Network {
 public:
  ConnectEnd Connect(std::uint32_t address, std::uint16_t port, std::uint32_t timeoutMs,
                     std::unique_ptr<PrinterConnection>* connection, PortError* error) override;
};

// COM ports through CreateFile and the communications functions.
class Win32SerialPorts final : public SerialPorts {
 public:
  SerialEnd Open(unsigned number, std::uint32_t baud, std::uint32_t timeoutMs,
                 std::unique_ptr<PrinterConnection>* connection, PortError* error) override;
};

// USB printers through SetupAPI, loaded from the system directory on first use.
class Win32UsbPrinters final : public UsbPrinters {
 public:
  bool List(std::vector<std::u16string>* devicePaths, PortError* error) override;
  bool Open(const std::u16string& devicePath, std::unique_ptr<PrinterConnection>* connection,
            PortError* error) override;
};

// The name CreateFile takes for COM|number|: COM3, and \\.\COM12 past COM9.
std::u16string SerialDeviceName(unsigned number);

}  // namespace dunlith
