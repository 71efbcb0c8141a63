#include "memory_transports.h"

#include <algorithm>

namespace dunlith::testing {

namespace {

constexpr std::uint32_t kFileNotFound = 2;
constexpr std::uint32_t kInvalidParameter = 87;
constexpr std::uint32_t kConnectionRefused = 10061;
constexpr std::uint32_t kTimedOut = 10060;

constexpr std::uint32_t kConnectionReset = 10054;

// Real-time requests go through even where the printer takes no more print data.
bool IsRequest(const Bytes& data) {
  return data.size() == 3 && ((data[0] == 0x10 && data[1] == 0x04) || (data[0] == 0x1D && data[1] == 'I'));
}

class MemoryConnection final : public PrinterConnection {
 public:
  explicit MemoryConnection(MemoryPrinter& printer) : printer_(printer), model_(printer.behaviour) {
    printer_.received.emplace_back();
    printer_.printed.emplace_back();
    if (Bytes waiting = model_.Waiting(); !waiting.empty()) replies_.push_back({0, std::move(waiting), false});
  }

  WriteResult Write(const Bytes& data, std::uint32_t timeoutMs) override {
    printer_.writeTimeouts.push_back(timeoutMs);
    WriteResult result;
    if (closed_) {
      result.end = WriteEnd::kFailed;
      result.error = WindowsError(kConnectionReset);
      return result;
    }
    const std::size_t printed = model_.printed().size();
    const std::size_t room = IsRequest(data) ? data.size() : printer_.takes > printed ? printer_.takes - printed : 0;
    const std::size_t taken = std::min(room, data.size());
    const Bytes part(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(taken));
    printer_.received.back().insert(printer_.received.back().end(), part.begin(), part.end());
    const std::size_t requests = model_.requests().size();
    for (Reply& reply : model_.Receive(part)) {
      replies_.push_back({now_ + reply.delayMs, std::move(reply.bytes), reply.close});
    }
    std::stable_sort(replies_.begin(), replies_.end(),
                     [](const Pending& a, const Pending& b) { return a.at < b.at; });
    printer_.requests.insert(printer_.requests.end(), model_.requests().begin() + static_cast<std::ptrdiff_t>(requests),
                             model_.requests().end());
    printer_.printed.back() = model_.printed();
    result.written = taken;
    if (taken == data.size()) {
      result.end = WriteEnd::kComplete;
    } else if (printer_.failCode != 0) {
      result.end = WriteEnd::kFailed;
      result.error = WindowsError(printer_.failCode);
    } else {
      result.end = WriteEnd::kTimedOut;
    }
    return result;
  }

  ReadResult Read(Bytes* into, std::uint32_t waitMs) override {
    printer_.readWaits.push_back(waitMs);
    ReadResult result;
    if (!printer_.readable) {
      result.end = ReadEnd::kNoReading;
      return result;
    }
    if (closed_) {
      result.end = ReadEnd::kClosed;
      result.error = WindowsError(kConnectionReset);
      return result;
    }
    const std::uint64_t start = now_;
    if (replies_.empty() || replies_.front().at > start + waitMs) {
      now_ = start + waitMs;
      result.end = ReadEnd::kNothing;
      result.waitedMs = waitMs;
      return result;
    }
    now_ = std::max(now_, replies_.front().at);
    result.waitedMs = static_cast<std::uint32_t>(now_ - start);
    // What has come by now arrives together, as the system's buffer holds it; the end of the
    // connection shows once what came before it has been read.
    while (!replies_.empty() && replies_.front().at <= now_) {
      if (replies_.front().close) {
        if (result.end == ReadEnd::kData) return result;
        closed_ = true;
        replies_.clear();
        result.end = ReadEnd::kClosed;
        return result;
      }
      into->insert(into->end(), replies_.front().bytes.begin(), replies_.front().bytes.end());
      replies_.erase(replies_.begin());
      result.end = ReadEnd::kData;
    }
    return result;
  }

 private:
  struct Pending {
    std::uint64_t at;
    Bytes bytes;
    bool close;
  };

  MemoryPrinter& printer_;
  EscPosPrinter model_;
  std::vector<Pending> replies_;
  std::uint64_t now_ = 0;
  bool closed_ = false;
};

}  // namespace

PortError WindowsError(std::uint32_t code) {
  static const std::map<std::uint32_t, std::u16string> words = {
      {2, u"The system cannot find the file specified.\r\n"},
      {5, u"Access is denied.\r\n"},
      {31, u"A device attached to the system is not functioning.\r\n"},
      {87, u"The parameter is incorrect.\r\n"},
      {10051, u"A socket operation was attempted to an unreachable network.\r\n"},
      {10054, u"An existing connection was forcibly closed by the remote host.\r\n"},
      {10060,
       u"A connection attempt failed because the connected party did not properly respond after a period of "
       u"time, or established connection failed because connected host has failed to respond.\r\n"},
      {10061, u"No connection could be made because the target machine actively refused it.\r\n"},
      {10091, u"WSAStartup cannot function at this time because the underlying system it uses to provide "
               u"network services is currently unavailable.\r\n"},
  };
  const auto found = words.find(code);
  return {code, found == words.end() ? std::u16string() : found->second};
}

Bytes MemoryPrinter::All() const {
  Bytes all;
  for (const Bytes& connection : printed) all.insert(all.end(), connection.begin(), connection.end());
  return all;
}

MemoryPrinter& MemoryNetwork::Listen(std::uint32_t address, std::uint16_t port) {
  failures_.erase({address, port});
  return printers_[{address, port}];
}

void MemoryNetwork::Silence(std::uint32_t address, std::uint16_t port) { failures_[{address, port}] = 0; }

void MemoryNetwork::Fail(std::uint32_t address, std::uint16_t port, std::uint32_t code) {
  failures_[{address, port}] = code;
}

ConnectEnd MemoryNetwork::Connect(std::uint32_t address, std::uint16_t port, std::uint32_t timeoutMs,
                                  std::unique_ptr<PrinterConnection>* connection, PortError* error) {
  if (noNetworking_ != 0) {
    *error = WindowsError(noNetworking_);
    return ConnectEnd::kNoNetworking;
  }
  connectTimeouts.push_back(timeoutMs);
  const Endpoint endpoint{address, port};
  if (const auto failure = failures_.find(endpoint); failure != failures_.end()) {
    if (failure->second == 0) {
      *error = WindowsError(kTimedOut);
      return ConnectEnd::kTimedOut;
    }
    *error = WindowsError(failure->second);
    return failure->second == kConnectionRefused ? ConnectEnd::kRefused : ConnectEnd::kFailed;
  }
  const auto printer = printers_.find(endpoint);
  if (printer == printers_.end()) {
    *error = WindowsError(kConnectionRefused);
    return ConnectEnd::kRefused;
  }
  *connection = std::make_unique<MemoryConnection>(printer->second);
  return ConnectEnd::kConnected;
}

MemorySerialPort& MemorySerialPorts::Add(unsigned number) { return ports_[number]; }

SerialEnd MemorySerialPorts::Open(unsigned number, std::uint32_t baud, std::uint32_t timeoutMs,
                                  std::unique_ptr<PrinterConnection>* connection, PortError* error) {
  const auto found = ports_.find(number);
  if (found == ports_.end()) {
    *error = WindowsError(kFileNotFound);
    return SerialEnd::kOpenFailed;
  }
  MemorySerialPort& port = found->second;
  if (port.openError != 0) {
    *error = WindowsError(port.openError);
    return SerialEnd::kOpenFailed;
  }
  ++port.opens;
  if (port.refusesSettings) {
    *error = WindowsError(kInvalidParameter);
    return SerialEnd::kSetupFailed;
  }
  port.baud = baud;
  port.writeTotalTimeout = timeoutMs;
  *connection = std::make_unique<MemoryConnection>(port.printer);
  return SerialEnd::kOpened;
}

MemoryUsbDevice& MemoryUsbPrinters::Add(const std::u16string& path) {
  devices_.push_back(std::make_unique<MemoryUsbDevice>());
  devices_.back()->path = path;
  return *devices_.back();
}

bool MemoryUsbPrinters::List(std::vector<std::u16string>* devicePaths, PortError* error) {
  devicePaths->clear();
  if (listError_ != 0) {
    *error = WindowsError(listError_);
    return false;
  }
  for (const auto& device : devices_) devicePaths->push_back(device->path);
  return true;
}

bool MemoryUsbPrinters::Open(const std::u16string& devicePath, std::unique_ptr<PrinterConnection>* connection,
                             PortError* error) {
  for (const auto& device : devices_) {
    // Device paths, like file names, are compared without regard to case.
    const bool same = std::equal(device->path.begin(), device->path.end(), devicePath.begin(), devicePath.end(),
                                 [](char16_t a, char16_t b) {
                                   auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? c + 0x20 : c; };
                                   return lower(a) == lower(b);
                                 });
    if (!same) continue;
    if (device->openError != 0) {
      *error = WindowsError(device->openError);
      return false;
    }
    *connection = std::make_unique<MemoryConnection>(device->printer);
    return true;
  }
  *error = WindowsError(kFileNotFound);
  return false;
}

}  // namespace dunlith::testing
