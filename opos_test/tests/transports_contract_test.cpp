// One contract for the transports' stand-ins and their Win32 adapters: on Linux the stand-ins,
// under Wine both, the adapters against real peers on 127.0.0.1.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "memory_transports.h"
#include "ports/printer_status.h"
#include "transport_backends.h"

namespace dunlith::testing {
namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;
// What a time-out may overrun by on a loaded machine under Wine.
constexpr long long kMarginMs = 1500;

Bytes Pattern(std::size_t size) {
  Bytes data(size);
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
  return data;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

class TransportsContract : public ::testing::TestWithParam<TransportBackend> {};

TEST_P(TransportsContract, TcpDeliversEveryByteToAReadingPeer) {
  auto under = GetParam().network();
  const std::uint16_t port = under->Reading();
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  ASSERT_EQ(under->network().Connect(kLoopback, port, 2000, &connection, &error), ConnectEnd::kConnected)
      << error.code;
  const Bytes data = Pattern(300000);
  const WriteResult written = connection->Write(data, 5000);
  EXPECT_EQ(written.end, WriteEnd::kComplete);
  EXPECT_EQ(written.written, data.size());
  connection.reset();
  EXPECT_EQ(under->Received(), data);
}

TEST_P(TransportsContract, TcpToAPortWhereNothingListensIsRefused) {
  auto under = GetParam().network();
  const std::uint16_t port = under->Refusing();
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  EXPECT_EQ(under->network().Connect(kLoopback, port, 3000, &connection, &error), ConnectEnd::kRefused);
  EXPECT_EQ(error.code, 10061u);  // WSAECONNREFUSED
  EXPECT_EQ(connection, nullptr);
}

TEST_P(TransportsContract, TcpGivesUpOnAnUnansweredConnectionAfterTheTimeOut) {
  auto under = GetParam().network();
  const std::uint16_t port = under->Silent();
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(under->network().Connect(kLoopback, port, 800, &connection, &error), ConnectEnd::kTimedOut);
  const long long elapsed = MillisecondsSince(start);
  EXPECT_EQ(error.code, 10060u);  // WSAETIMEDOUT
  if (under->Waits()) {
    EXPECT_GE(elapsed, 750);
    EXPECT_LE(elapsed, 800 + kMarginMs);
  }
}

TEST_P(TransportsContract, TcpWriteToAPeerThatReadsNothingStopsAtTheTimeOutWithACount) {
  auto under = GetParam().network();
  const std::uint16_t port = under->NotReading();
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  ASSERT_EQ(under->network().Connect(kLoopback, port, 2000, &connection, &error), ConnectEnd::kConnected);
  const Bytes data = Pattern(64 * 1024 * 1024);
  const auto start = std::chrono::steady_clock::now();
  const WriteResult written = connection->Write(data, 500);
  const long long elapsed = MillisecondsSince(start);
  EXPECT_EQ(written.end, WriteEnd::kTimedOut);
  EXPECT_GT(written.written, 0u) << "the system's buffers take a part";
  EXPECT_LT(written.written, data.size());
  if (under->Waits()) {
    EXPECT_LE(elapsed, 500 + kMarginMs);
  }
}

TEST_P(TransportsContract, TcpReadsWhatThePrinterSendsAndWhenItEndsTheConnection) {
  auto under = GetParam().network();
  PrinterCase printer = kSilentPrinter;
  printer.answering = Answering::kDropsAfterStatus;
  const std::uint16_t port = under->Answering(printer);
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  ASSERT_EQ(under->network().Connect(kLoopback, port, 2000, &connection, &error), ConnectEnd::kConnected);
  Bytes got;
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(connection->Read(&got, 0).end, ReadEnd::kNothing);
  const ReadResult quiet = connection->Read(&got, 300);
  EXPECT_EQ(quiet.end, ReadEnd::kNothing);
  EXPECT_TRUE(got.empty());
  if (under->Waits()) {
    EXPECT_GE(MillisecondsSince(start), 250);
    EXPECT_GE(quiet.waitedMs, 250u);
  }
  for (std::uint8_t n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    ASSERT_EQ(connection->Write(StatusRequest(n), 1000).end, WriteEnd::kComplete);
    got.clear();
    start = std::chrono::steady_clock::now();
    const ReadResult answer = connection->Read(&got, 5000);
    EXPECT_EQ(answer.end, ReadEnd::kData);
    EXPECT_EQ(got, Bytes{0x12});
    EXPECT_LE(answer.waitedMs, 5000u);
    if (under->Waits()) {
      EXPECT_LT(MillisecondsSince(start), 2500) << "a read returns once something came";
    }
  }
  // The printer ends the connection after its fourth answer.
  got.clear();
  EXPECT_EQ(connection->Read(&got, 5000).end, ReadEnd::kClosed);
  EXPECT_TRUE(got.empty());
}

TEST_P(TransportsContract, AComPortThatDoesNotExistDoesNotOpen) {
  auto under = GetParam().serial();
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  EXPECT_EQ(under->serial().Open(231, 9600, 1000, &connection, &error), SerialEnd::kOpenFailed);
  EXPECT_EQ(error.code, 2u);  // ERROR_FILE_NOT_FOUND
  EXPECT_FALSE(error.text.empty());
}

TEST_P(TransportsContract, UsbListsPresentPrintersWhoseDevicesMayRefuseTheOpen) {
  auto under = GetParam().usb();
  std::vector<std::u16string> paths{u"stale"};
  PortError error;
  ASSERT_TRUE(under->usb().List(&paths, &error)) << error.code;
  EXPECT_TRUE(paths.empty());

  const std::u16string path = under->PlugUnopenable("VID_0416&PID_5011", "DL7");
  if (path.empty()) GTEST_SKIP() << "only Wine takes devices from its registry";
  ASSERT_TRUE(under->usb().List(&paths, &error));
  ASSERT_EQ(paths, std::vector<std::u16string>{path});
  std::unique_ptr<PrinterConnection> connection;
  EXPECT_FALSE(under->usb().Open(path, &connection, &error));
  EXPECT_EQ(error.code, 2u);  // ERROR_FILE_NOT_FOUND: the printer is not there
  EXPECT_EQ(connection, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, TransportsContract, ::testing::ValuesIn(TransportBackends()),
                         [](const ::testing::TestParamInfo<TransportBackend>& param) { return param.param.name; });

}  // namespace
}  // namespace dunlith::testing
