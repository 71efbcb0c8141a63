// Sending to each kind of port against the stand-ins of the transports: what arrives, and how
// each failure is told.
#include <gtest/gtest.h>

#include "memory_transports.h"
#include "ports/printer_port.h"

namespace dunlith::testing {
namespace {

constexpr std::uint32_t kPrinterAddress = 0xC0A80164;  // 192.168.1.100

const Bytes kData = {0x1B, 0x40, 'T', 'e', 's', 't', 0x0A, 0x1D, 0x56, 0x01};

PortConfig Ethernet(std::uint32_t timeoutMs = 1000) {
  PortConfig port;
  port.kind = PortKind::kEthernet;
  port.address = kPrinterAddress;
  port.timeoutMs = timeoutMs;
  return port;
}

PortConfig Serial(unsigned number, std::uint32_t baud, std::uint32_t timeoutMs = 1000) {
  PortConfig port;
  port.kind = PortKind::kSerial;
  port.comNumber = number;
  port.baud = baud;
  port.timeoutMs = timeoutMs;
  return port;
}

PortConfig Usb(std::uint32_t timeoutMs = 1000) {
  PortConfig port;
  port.kind = PortKind::kUsb;
  port.timeoutMs = timeoutMs;
  return port;
}

class PrinterPortTest : public ::testing::Test {
 protected:
  MemoryTransports memory_;
  Transports& transports_ = memory_.transports;
};

TEST_F(PrinterPortTest, EthernetSendsEverythingToPort9100WithinTheTimeOut) {
  MemoryPrinter& printer = memory_.network.Listen(kPrinterAddress, 9100);
  const SendResult result = SendToPrinter(Ethernet(2500), kData, transports_);
  EXPECT_EQ(result.end, SendEnd::kSent);
  EXPECT_EQ(result.sent, kData.size());
  EXPECT_EQ(result.total, kData.size());
  ASSERT_EQ(printer.received.size(), 1u);
  EXPECT_EQ(printer.received[0], kData);
  EXPECT_EQ(memory_.network.connectTimeouts, std::vector<std::uint32_t>{2500});
  EXPECT_EQ(printer.writeTimeouts, std::vector<std::uint32_t>{2500});
}

TEST_F(PrinterPortTest, EthernetFailuresByKind) {
  const struct {
    const char* what;
    std::function<void(MemoryNetwork&)> arrange;
    SendEnd end;
    std::uint32_t code;
  } cases[] = {
      {"nothing listens", [](MemoryNetwork&) {}, SendEnd::kRefused, 10061},
      {"nothing answers", [](MemoryNetwork& n) { n.Silence(kPrinterAddress, 9100); }, SendEnd::kNoAnswer, 10060},
      {"no route", [](MemoryNetwork& n) { n.Fail(kPrinterAddress, 9100, 10051); }, SendEnd::kUnreachable, 10051},
      {"no Winsock", [](MemoryNetwork& n) { n.RemoveNetworking(10091); }, SendEnd::kNoNetworking, 10091},
      {"another port listens", [](MemoryNetwork& n) { n.Listen(kPrinterAddress, 9101); }, SendEnd::kRefused, 10061},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryTransports memory;
    c.arrange(memory.network);
    const SendResult result = SendToPrinter(Ethernet(), kData, memory.transports);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(result.error.code, c.code);
    EXPECT_FALSE(result.error.text.empty());
    EXPECT_EQ(result.sent, 0u);
    EXPECT_EQ(result.total, kData.size());
  }
}

TEST_F(PrinterPortTest, APrinterThatStopsTakingDataGivesAPartialCount) {
  MemoryPrinter& printer = memory_.network.Listen(kPrinterAddress, 9100);
  printer.takes = 4;
  const SendResult stalled = SendToPrinter(Ethernet(), kData, transports_);
  EXPECT_EQ(stalled.end, SendEnd::kStalled);
  EXPECT_EQ(stalled.sent, 4u);
  EXPECT_EQ(stalled.total, kData.size());
  EXPECT_EQ(printer.received.back(), Bytes(kData.begin(), kData.begin() + 4));

  printer.received.clear();
  printer.failCode = 10054;
  const SendResult reset = SendToPrinter(Ethernet(), kData, transports_);
  EXPECT_EQ(reset.end, SendEnd::kWriteFailed);
  EXPECT_EQ(reset.sent, 4u);
  EXPECT_EQ(reset.error.code, 10054u);
}

TEST_F(PrinterPortTest, SerialOpensTheComPortAtItsSpeedWithTheTimeOutAsWriteLimit) {
  MemorySerialPort& com3 = memory_.serial.Add(3);
  memory_.serial.Add(4);
  const SendResult result = SendToPrinter(Serial(3, 38400, 700), kData, transports_);
  EXPECT_EQ(result.end, SendEnd::kSent);
  EXPECT_EQ(com3.printer.All(), kData);
  EXPECT_EQ(com3.baud, 38400u);
  EXPECT_EQ(com3.writeTotalTimeout, 700u);
}

TEST_F(PrinterPortTest, SerialFailuresByKind) {
  memory_.serial.Add(3).openError = 5;
  memory_.serial.Add(4).refusesSettings = true;
  memory_.serial.Add(5).printer.takes = 0;
  const struct {
    unsigned number;
    SendEnd end;
    std::uint32_t code;
  } cases[] = {
      {3, SendEnd::kOpenFailed, 5},   // another program holds the port
      {9, SendEnd::kOpenFailed, 2},   // no such port
      {4, SendEnd::kSetupFailed, 87},
      {5, SendEnd::kStalled, 0},      // nothing taken within the time-out
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    const SendResult result = SendToPrinter(Serial(c.number, 9600), kData, transports_);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(result.error.code, c.code);
    EXPECT_EQ(result.sent, 0u);
  }
}

TEST_F(PrinterPortTest, UsbWritesToTheFirstPresentPrinterThatOpens) {
  memory_.usb.Add(u"\\\\?\\usb#vid_0416&pid_5011#a#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}").openError = 5;
  MemoryUsbDevice& second = memory_.usb.Add(u"\\\\?\\usb#vid_0416&pid_5011#b#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
  MemoryUsbDevice& third = memory_.usb.Add(u"\\\\?\\usb#vid_0416&pid_5011#c#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
  const SendResult result = SendToPrinter(Usb(1500), kData, transports_);
  EXPECT_EQ(result.end, SendEnd::kSent);
  EXPECT_EQ(result.device, second.path);
  EXPECT_EQ(second.printer.All(), kData);
  EXPECT_EQ(second.printer.writeTimeouts, std::vector<std::uint32_t>{1500});
  EXPECT_TRUE(third.printer.received.empty());
}

TEST_F(PrinterPortTest, UsbFailuresByKind) {
  {
    const SendResult none = SendToPrinter(Usb(), kData, transports_);
    EXPECT_EQ(none.end, SendEnd::kNoUsbPrinter);
  }
  {
    MemoryTransports memory;
    memory.usb.FailListing(5);
    const SendResult unlisted = SendToPrinter(Usb(), kData, memory.transports);
    EXPECT_EQ(unlisted.end, SendEnd::kUsbListFailed);
    EXPECT_EQ(unlisted.error.code, 5u);
  }
  {
    MemoryTransports memory;
    memory.usb.Add(u"\\\\?\\usb#first").openError = 31;
    memory.usb.Add(u"\\\\?\\usb#second").openError = 5;
    const SendResult refused = SendToPrinter(Usb(), kData, memory.transports);
    EXPECT_EQ(refused.end, SendEnd::kOpenFailed);
    EXPECT_EQ(refused.device, u"\\\\?\\usb#first") << "the first refusal is the one told";
    EXPECT_EQ(refused.error.code, 31u);
  }
  {
    MemoryTransports memory;
    memory.usb.Add(u"\\\\?\\usb#slow").printer.takes = 6;
    const SendResult stalled = SendToPrinter(Usb(), kData, memory.transports);
    EXPECT_EQ(stalled.end, SendEnd::kStalled);
    EXPECT_EQ(stalled.sent, 6u);
    EXPECT_EQ(stalled.device, u"\\\\?\\usb#slow");
  }
}

TEST_F(PrinterPortTest, NoWaitIsLongerThanAMinuteWhateverThePortAsks) {
  MemoryPrinter& network = memory_.network.Listen(kPrinterAddress, 9100);
  MemorySerialPort& com3 = memory_.serial.Add(3);
  MemoryUsbDevice& usb = memory_.usb.Add(u"\\\\?\\usb#p");
  for (const std::uint32_t asked : {0xFFFFFFFFu, 60001u}) {
    SCOPED_TRACE(asked);
    EXPECT_EQ(SendToPrinter(Ethernet(asked), kData, transports_).end, SendEnd::kSent);
    EXPECT_EQ(SendToPrinter(Serial(3, 9600, asked), kData, transports_).end, SendEnd::kSent);
    EXPECT_EQ(SendToPrinter(Usb(asked), kData, transports_).end, SendEnd::kSent);
    EXPECT_EQ(memory_.network.connectTimeouts.back(), 60000u);
    EXPECT_EQ(network.writeTimeouts.back(), 60000u);
    EXPECT_EQ(com3.writeTotalTimeout, 60000u);
    EXPECT_EQ(com3.printer.writeTimeouts.back(), 60000u);
    EXPECT_EQ(usb.printer.writeTimeouts.back(), 60000u);
  }
}

}  // namespace
}  // namespace dunlith::testing
