#include "printer_port.h"

#include <memory>
#include <vector>

namespace dunlith {

namespace {

// More than any answer is long; a printer that sends more while Dunlith waits is not answering.
constexpr std::size_t kMostAnswerBytes = 512;
// GS I answers hold at most 80 characters.
constexpr std::size_t kMostTextChars = 80;
// What is waiting is read in a few reads; a printer that keeps sending is not waited out.
constexpr int kMostDiscardReads = 16;
constexpr std::uint8_t kTextHeader = '_';

SendResult Failed(SendEnd end, const Bytes& data, PortError error, std::u16string device = {}) {
  SendResult result;
  result.end = end;
  result.total = data.size();
  result.error = std::move(error);
  result.device = std::move(device);
  return result;
}

// The first answer to DLE EOT in |got|; the text of a GS I answer, which may hold bytes that look
// like one, is passed over.
bool FindStatusByte(const Bytes& got, std::uint8_t* answer) {
  bool inText = false;
  for (const std::uint8_t b : got) {
    if (inText) {
      inText = b != 0;
    } else if (b == kTextHeader) {
      inText = true;
    } else if (IsStatusByte(b)) {
      *answer = b;
      return true;
    }
  }
  return false;
}

// The first whole GS I answer in |got|: "_", printable text, NUL.
bool FindText(const Bytes& got, std::string* text) {
  for (std::size_t start = 0; start < got.size(); ++start) {
    if (got[start] != kTextHeader) continue;
    std::size_t end = start + 1;
    while (end < got.size() && got[end] >= 0x20 && got[end] < 0x7F && end - start <= kMostTextChars) ++end;
    if (end < got.size() && got[end] == 0 && end - start - 1 <= kMostTextChars) {
      text->assign(got.begin() + static_cast<std::ptrdiff_t>(start + 1), got.begin() + static_cast<std::ptrdiff_t>(end));
      return true;
    }
  }
  return false;
}

// One talk with the printer over an open connection.
class Exchange {
 public:
  Exchange(PrinterConnection& connection, std::uint32_t timeoutMs)
      : connection_(connection), answerWaitMs_(timeoutMs < kLongestAnswerWaitMs ? timeoutMs : kLongestAnswerWaitMs) {}

  bool lost() const { return lost_; }
  const PortError& error() const { return error_; }

  // Drops what the printer sent before, a late answer or an automatic status back, so that it is
  // not taken for the answer to what comes next. False when the connection has ended.
  bool Discard() {
    for (int read = 0; read < kMostDiscardReads; ++read) {
      Bytes dropped;
      if (Read(&dropped, 0) != ReadEnd::kData) break;
    }
    return !lost_;
  }

  // Reads and drops whatever comes for |milliseconds|.
  void Pass(std::uint32_t milliseconds) {
    std::uint32_t waited = 0;
    for (int read = 0; read < kMostDiscardReads && waited < milliseconds && !lost_ && !silent_; ++read) {
      Bytes dropped;
      std::uint32_t took = 0;
      Read(&dropped, milliseconds - waited, &took);
      waited += took;
    }
  }

  PrinterStatus AskStatus() {
    PrinterStatus status;
    for (std::uint8_t n = 1; n <= kStatusRequests; ++n) {
      std::uint8_t answer = 0;
      if (!Ask(StatusRequest(n), [&](const Bytes& got) { return FindStatusByte(got, &answer); })) break;
      status.answers[status.count++] = answer;
    }
    return status;
  }

  bool AskText(std::uint8_t n, std::string* text) {
    return Ask(TextRequest(n), [&](const Bytes& got) { return FindText(got, text); });
  }

 private:
  ReadEnd Read(Bytes* into, std::uint32_t waitMs, std::uint32_t* took = nullptr) {
    if (lost_ || silent_) return ReadEnd::kNothing;
    ReadResult read = connection_.Read(into, waitMs);
    if (took != nullptr) *took = read.waitedMs;
    if (read.end == ReadEnd::kNoReading) silent_ = true;
    if (read.end == ReadEnd::kClosed || read.end == ReadEnd::kFailed) {
      lost_ = true;
      error_ = std::move(read.error);
    }
    return read.end;
  }

  // Sends |request| and reads until |found| sees its answer in what came, or the wait is over.
  template <typename Found>
  bool Ask(const Bytes& request, Found found) {
    if (!Discard() || silent_) return false;
    // A request that does not go within the wait for its answer will not be answered in it.
    WriteResult written = connection_.Write(request, answerWaitMs_);
    if (written.end == WriteEnd::kFailed) {
      lost_ = true;
      error_ = std::move(written.error);
      return false;
    }
    if (written.end != WriteEnd::kComplete || written.written != request.size()) return false;
    Bytes got;
    for (std::uint32_t waited = 0; waited < answerWaitMs_ && got.size() <= kMostAnswerBytes;) {
      std::uint32_t took = 0;
      if (Read(&got, answerWaitMs_ - waited, &took) != ReadEnd::kData) return false;
      if (found(got)) return true;
      waited += took;
    }
    return false;
  }

  PrinterConnection& connection_;
  std::uint32_t answerWaitMs_;
  bool lost_ = false;
  bool silent_ = false;  // the connection carries nothing back
  PortError error_;
};

SendResult Talk(PrinterConnection& connection, const PortConfig& port, const Bytes& data, SendKind kind,
                std::u16string device = {}) {
  SendResult result;
  result.total = data.size();
  result.device = std::move(device);
  result.asked = true;
  Exchange exchange(connection, port.timeoutMs);
  result.before = exchange.AskStatus();
  const std::uint32_t conditions = ConditionsOf(result.before);
  // A printer that is not ready would hold the request until it is, and answer it then.
  if (kind == SendKind::kReceipt && result.before.count == kStatusRequests && !IsNotReady(conditions) &&
      exchange.AskText(kModelName, &result.model)) {
    exchange.AskText(kFirmwareVersion, &result.firmware);
  }
  if (!exchange.lost() && IsNotReady(conditions)) {
    result.end = SendEnd::kNotReady;
    return result;
  }
  if (exchange.lost() || !exchange.Discard()) {
    result.end = SendEnd::kLostBefore;
    result.error = exchange.error();
    return result;
  }

  WriteResult written = connection.Write(data, port.timeoutMs);
  result.sent = written.written;
  result.error = std::move(written.error);
  switch (written.end) {
    case WriteEnd::kComplete:
      // A connection that claims completion with bytes missing has not sent the data.
      result.end = written.written == data.size() ? SendEnd::kSent : SendEnd::kStalled;
      break;
    case WriteEnd::kTimedOut: result.end = SendEnd::kStalled; break;
    case WriteEnd::kFailed: result.end = SendEnd::kWriteFailed; break;
  }
  // A printer that left a request unanswered may still answer it late, and that answer could
  // not be told from one to a new request.
  if (result.end != SendEnd::kSent || result.before.count != kStatusRequests) return result;

  // The printer answers in order: an answer now also says that all of the data reached it.
  if (kind == SendKind::kPulse) exchange.Pass(kDrawerSettleMs);
  result.askedAfter = true;
  result.after = exchange.AskStatus();
  if (exchange.lost()) {
    result.end = SendEnd::kLostAfter;
    result.error = exchange.error();
  }
  return result;
}

SendResult SendOverNetwork(const PortConfig& port, const Bytes& data, SendKind kind, Network& network) {
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  switch (network.Connect(port.address, port.tcpPort, port.timeoutMs, &connection, &error)) {
    case ConnectEnd::kConnected: break;
    case ConnectEnd::kRefused: return Failed(SendEnd::kRefused, data, error);
    case ConnectEnd::kTimedOut: return Failed(SendEnd::kNoAnswer, data, error);
    case ConnectEnd::kFailed: return Failed(SendEnd::kUnreachable, data, error);
    case ConnectEnd::kNoNetworking: return Failed(SendEnd::kNoNetworking, data, error);
  }
  return Talk(*connection, port, data, kind);
}

SendResult SendOverSerial(const PortConfig& port, const Bytes& data, SendKind kind, SerialPorts& serial) {
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  switch (serial.Open(port.comNumber, port.baud, port.timeoutMs, &connection, &error)) {
    case SerialEnd::kOpened: break;
    case SerialEnd::kOpenFailed: return Failed(SendEnd::kOpenFailed, data, error);
    case SerialEnd::kSetupFailed: return Failed(SendEnd::kSetupFailed, data, error);
  }
  return Talk(*connection, port, data, kind);
}

// The first present printer that opens takes the data; when none opens, the first refusal is
// the one reported.
SendResult SendOverUsb(const PortConfig& port, const Bytes& data, SendKind kind, UsbPrinters& usb) {
  std::vector<std::u16string> paths;
  PortError error;
  if (!usb.List(&paths, &error)) return Failed(SendEnd::kUsbListFailed, data, error);
  if (paths.empty()) return Failed(SendEnd::kNoUsbPrinter, data, {});
  SendResult firstRefusal;
  bool refused = false;
  for (const std::u16string& path : paths) {
    std::unique_ptr<PrinterConnection> connection;
    PortError openError;
    if (usb.Open(path, &connection, &openError)) return Talk(*connection, port, data, kind, path);
    if (!refused) firstRefusal = Failed(SendEnd::kOpenFailed, data, openError, path);
    refused = true;
  }
  return firstRefusal;
}

}  // namespace

SendResult SendToPrinter(const PortConfig& given, const Bytes& data, SendKind kind, Transports& transports) {
  PortConfig port = given;
  port.timeoutMs = BoundedWait(port.timeoutMs);
  switch (port.kind) {
    case PortKind::kEthernet: return SendOverNetwork(port, data, kind, transports.network);
    case PortKind::kSerial: return SendOverSerial(port, data, kind, transports.serial);
    case PortKind::kUsb: return SendOverUsb(port, data, kind, transports.usb);
  }
  return Failed(SendEnd::kWriteFailed, data, {});
}

}  // namespace dunlith
