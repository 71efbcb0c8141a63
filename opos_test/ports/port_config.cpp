#include "port_config.h"

namespace dunlith {

std::uint32_t BaudOfCode(std::uint32_t code) {
  switch (code) {
    case 1: return 9600;
    case 2: return 19200;
    case 3: return 38400;
    case 4: return 115200;
    default: return 0;
  }
}

std::string DottedAddress(std::uint32_t address) {
  return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 0xFF) + "." +
         std::to_string((address >> 8) & 0xFF) + "." + std::to_string(address & 0xFF);
}

std::string PortWords(const PortConfig& port) {
  switch (port.kind) {
    case PortKind::kUsb: return "USB";
    case PortKind::kSerial: return PortName(port) + " at " + std::to_string(port.baud);
    case PortKind::kEthernet: return PortName(port);
  }
  return {};
}

std::string PortName(const PortConfig& port) {
  switch (port.kind) {
    case PortKind::kUsb: return "the USB printer";
    case PortKind::kSerial: return "COM" + std::to_string(port.comNumber);
    case PortKind::kEthernet: return DottedAddress(port.address) + ":" + std::to_string(port.tcpPort);
  }
  return {};
}

}  // namespace dunlith
