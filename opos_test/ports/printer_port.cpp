#include "printer_port.h"

#include <memory>
#include <vector>

namespace dunlith {

namespace {

SendResult Failed(SendEnd end, const Bytes& data, PortError error, std::u16string device = {}) {
  SendResult result;
  result.end = end;
  result.total = data.size();
  result.error = std::move(error);
  result.device = std::move(device);
  return result;
}

SendResult WriteAll(PrinterConnection& connection, const PortConfig& port, const Bytes& data,
                    std::u16string device = {}) {
  WriteResult written = connection.Write(data, port.timeoutMs);
  SendResult result;
  result.total = data.size();
  result.sent = written.written;
  result.device = std::move(device);
  result.error = std::move(written.error);
  switch (written.end) {
    case WriteEnd::kComplete:
      // A connection that claims completion with bytes missing has not sent the receipt.
      result.end = written.written == data.size() ? SendEnd::kSent : SendEnd::kStalled;
      break;
    case WriteEnd::kTimedOut: result.end = SendEnd::kStalled; break;
    case WriteEnd::kFailed: result.end = SendEnd::kWriteFailed; break;
  }
  return result;
}

SendResult SendOverNetwork(const PortConfig& port, const Bytes& data, Network& network) {
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  switch (network.Connect(port.address, port.tcpPort, port.timeoutMs, &connection, &error)) {
    case ConnectEnd::kConnected: break;
    case ConnectEnd::kRefused: return Failed(SendEnd::kRefused, data, error);
    case ConnectEnd::kTimedOut: return Failed(SendEnd::kNoAnswer, data, error);
    case ConnectEnd::kFailed: return Failed(SendEnd::kUnreachable, data, error);
    case ConnectEnd::kNoNetworking: return Failed(SendEnd::kNoNetworking, data, error);
  }
  return WriteAll(*connection, port, data);
}

SendResult SendOverSerial(const PortConfig& port, const Bytes& data, SerialPorts& serial) {
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  switch (serial.Open(port.comNumber, port.baud, port.timeoutMs, &connection, &error)) {
    case SerialEnd::kOpened: break;
    case SerialEnd::kOpenFailed: return Failed(SendEnd::kOpenFailed, data, error);
    case SerialEnd::kSetupFailed: return Failed(SendEnd::kSetupFailed, data, error);
  }
  return WriteAll(*connection, port, data);
}

// The first present printer that opens takes the data; when none opens, the first refusal is
// the one reported.
SendResult SendOverUsb(const PortConfig& port, const Bytes& data, UsbPrinters& usb) {
  std::vector<std::u16string> paths;
  PortError error;
  if (!usb.List(&paths, &error)) return Failed(SendEnd::kUsbListFailed, data, error);
  if (paths.empty()) return Failed(SendEnd::kNoUsbPrinter, data, {});
  SendResult firstRefusal;
  bool refused = false;
  for (const std::u16string& path : paths) {
    std::unique_ptr<PrinterConnection> connection;
    PortError openError;
    if (usb.Open(path, &connection, &openError)) return WriteAll(*connection, port, data, path);
    if (!refused) firstRefusal = Failed(SendEnd::kOpenFailed, data, openError, path);
    refused = true;
  }
  return firstRefusal;
}

}  // namespace

SendResult SendToPrinter(const PortConfig& given, const Bytes& data, Transports& transports) {
  PortConfig port = given;
  port.timeoutMs = BoundedWait(port.timeoutMs);
  switch (port.kind) {
    case PortKind::kEthernet: return SendOverNetwork(port, data, transports.network);
    case PortKind::kSerial: return SendOverSerial(port, data, transports.serial);
    case PortKind::kUsb: return SendOverUsb(port, data, transports.usb);
  }
  return Failed(SendEnd::kWriteFailed, data, {});
}

}  // namespace dunlith
