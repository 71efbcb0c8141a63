// Sending to each kind of port against the stand-ins of the transports: what the printer is asked,
// what arrives, and how each failure is told.
#include <gtest/gtest.h>

#include <algorithm>

#include "memory_transports.h"
#include "ports/printer_port.h"
#include "printer_cases.h"

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
  const SendResult result = SendToPrinter(Ethernet(2500), kData, SendKind::kReceipt, transports_);
  EXPECT_EQ(result.end, SendEnd::kSent);
  EXPECT_EQ(result.sent, kData.size());
  EXPECT_EQ(result.total, kData.size());
  ASSERT_EQ(printer.printed.size(), 1u);
  EXPECT_EQ(printer.printed[0], kData);
  Bytes asked = StatusRequest(1);
  asked.insert(asked.end(), kData.begin(), kData.end());
  EXPECT_EQ(printer.received[0], asked) << "the data after the first status request, which went unanswered";
  EXPECT_EQ(memory_.network.connectTimeouts, std::vector<std::uint32_t>{2500});
  EXPECT_EQ(printer.writeTimeouts, (std::vector<std::uint32_t>{1000, 2500}))
      << "the request within the wait for its answer, the data within the time-out";
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
    const SendResult result = SendToPrinter(Ethernet(), kData, SendKind::kReceipt, memory.transports);
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
  const SendResult stalled = SendToPrinter(Ethernet(), kData, SendKind::kReceipt, transports_);
  EXPECT_EQ(stalled.end, SendEnd::kStalled);
  EXPECT_EQ(stalled.sent, 4u);
  EXPECT_EQ(stalled.total, kData.size());
  EXPECT_EQ(printer.printed.back(), Bytes(kData.begin(), kData.begin() + 4));

  printer.failCode = 10054;
  const SendResult reset = SendToPrinter(Ethernet(), kData, SendKind::kReceipt, transports_);
  EXPECT_EQ(reset.end, SendEnd::kWriteFailed);
  EXPECT_EQ(reset.sent, 4u);
  EXPECT_EQ(reset.error.code, 10054u);
}

TEST_F(PrinterPortTest, SerialOpensTheComPortAtItsSpeedWithTheTimeOutAsWriteLimit) {
  MemorySerialPort& com3 = memory_.serial.Add(3);
  memory_.serial.Add(4);
  const SendResult result = SendToPrinter(Serial(3, 38400, 700), kData, SendKind::kReceipt, transports_);
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
    const SendResult result = SendToPrinter(Serial(c.number, 9600), kData, SendKind::kReceipt, transports_);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(result.error.code, c.code);
    EXPECT_EQ(result.sent, 0u);
  }
}

TEST_F(PrinterPortTest, UsbWritesToTheFirstPresentPrinterThatOpens) {
  memory_.usb.Add(u"\\\\?\\usb#vid_0416&pid_5011#a#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}").openError = 5;
  MemoryUsbDevice& second = memory_.usb.Add(u"\\\\?\\usb#vid_0416&pid_5011#b#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
  MemoryUsbDevice& third = memory_.usb.Add(u"\\\\?\\usb#vid_0416&pid_5011#c#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}");
  const SendResult result = SendToPrinter(Usb(1500), kData, SendKind::kReceipt, transports_);
  EXPECT_EQ(result.end, SendEnd::kSent);
  EXPECT_EQ(result.device, second.path);
  EXPECT_EQ(second.printer.All(), kData);
  EXPECT_EQ(second.printer.writeTimeouts, (std::vector<std::uint32_t>{1000, 1500}));
  EXPECT_TRUE(third.printer.received.empty());
}

TEST_F(PrinterPortTest, UsbFailuresByKind) {
  {
    const SendResult none = SendToPrinter(Usb(), kData, SendKind::kReceipt, transports_);
    EXPECT_EQ(none.end, SendEnd::kNoUsbPrinter);
  }
  {
    MemoryTransports memory;
    memory.usb.FailListing(5);
    const SendResult unlisted = SendToPrinter(Usb(), kData, SendKind::kReceipt, memory.transports);
    EXPECT_EQ(unlisted.end, SendEnd::kUsbListFailed);
    EXPECT_EQ(unlisted.error.code, 5u);
  }
  {
    MemoryTransports memory;
    memory.usb.Add(u"\\\\?\\usb#first").openError = 31;
    memory.usb.Add(u"\\\\?\\usb#second").openError = 5;
    const SendResult refused = SendToPrinter(Usb(), kData, SendKind::kReceipt, memory.transports);
    EXPECT_EQ(refused.end, SendEnd::kOpenFailed);
    EXPECT_EQ(refused.device, u"\\\\?\\usb#first") << "the first refusal is the one told";
    EXPECT_EQ(refused.error.code, 31u);
  }
  {
    MemoryTransports memory;
    memory.usb.Add(u"\\\\?\\usb#slow").printer.takes = 6;
    const SendResult stalled = SendToPrinter(Usb(), kData, SendKind::kReceipt, memory.transports);
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
    EXPECT_EQ(SendToPrinter(Ethernet(asked), kData, SendKind::kReceipt, transports_).end, SendEnd::kSent);
    EXPECT_EQ(SendToPrinter(Serial(3, 9600, asked), kData, SendKind::kReceipt, transports_).end, SendEnd::kSent);
    EXPECT_EQ(SendToPrinter(Usb(asked), kData, SendKind::kReceipt, transports_).end, SendEnd::kSent);
    EXPECT_EQ(memory_.network.connectTimeouts.back(), 60000u);
    EXPECT_EQ(network.writeTimeouts.back(), 60000u);
    EXPECT_EQ(com3.writeTotalTimeout, 60000u);
    EXPECT_EQ(com3.printer.writeTimeouts.back(), 60000u);
    EXPECT_EQ(usb.printer.writeTimeouts.back(), 60000u);
  }
}

// What Dunlith asks, of each printer case, and when it prints: the requests the printer saw, in
// order, and whether the data came out.
TEST_F(PrinterPortTest, AsksTheStatusAndWhoIsThereAndPrintsOnlyIntoAReadyPrinter) {
  const std::vector<std::string> kStatus = {"DLE EOT 1", "DLE EOT 2", "DLE EOT 3", "DLE EOT 4"};
  const std::vector<std::string> kWho = {"GS I 67", "GS I 65"};
  const auto joined = [](std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
  };
  PrinterCase slowsDown = kSilentPrinter;
  slowsDown.answering = Answering::kSlowsDown;
  const struct {
    PrinterCase printer;
    SendEnd end;
    std::vector<std::string> requests;
    std::uint8_t answered;
    std::uint8_t answeredAfter;
  } cases[] = {
      {CaseNamed("ready"), SendEnd::kSent, joined({kStatus, kWho, kStatus}), 4, 4},
      {CaseNamed("cover open"), SendEnd::kNotReady, kStatus, 4, 0},
      {CaseNamed("silent"), SendEnd::kSent, {"DLE EOT 1"}, 0, 0},
      {CaseNamed("garbage bytes"), SendEnd::kSent, {"DLE EOT 1"}, 0, 0},
      {CaseNamed("late answer"), SendEnd::kSent, {"DLE EOT 1"}, 0, 0},
      {CaseNamed("automatic status back and stray bytes"), SendEnd::kSent, joined({kStatus, kWho, kStatus}), 4, 4},
      // It sees no more once it has ended the connection.
      {CaseNamed("drops after status"), SendEnd::kLostBefore, kStatus, 4, 0},
      // The receipt went, but the printer confirmed nothing.
      {CaseNamed("drops after printing"), SendEnd::kLostAfter, joined({kStatus, kWho, {"DLE EOT 1"}}), 4, 0},
      // The late answer to the second request would come while a later one waits: nothing more is asked.
      {slowsDown, SendEnd::kSent, {"DLE EOT 1", "DLE EOT 2"}, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printer.name);
    MemoryTransports memory;
    MemoryPrinter& printer = memory.network.Listen(kPrinterAddress, 9100);
    printer.behaviour = c.printer;
    const SendResult result = SendToPrinter(Ethernet(), kData, SendKind::kReceipt, memory.transports);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(printer.requests, c.requests);
    EXPECT_EQ(result.before.count, c.answered);
    EXPECT_EQ(result.after.count, c.answeredAfter);
    const bool sent = c.end == SendEnd::kSent || c.end == SendEnd::kLostAfter;
    EXPECT_EQ(printer.All(), sent ? kData : Bytes()) << "what the printer printed";
  }
}

TEST_F(PrinterPortTest, TheAnswersAreTakenByTheirFixedBitsAndWhoIsThereWhole) {
  for (const Answering answering : {Answering::kLikeAPrinter, Answering::kSplit, Answering::kNoisy}) {
    SCOPED_TRACE(static_cast<int>(answering));
    MemoryTransports memory;
    MemoryPrinter& printer = memory.network.Listen(kPrinterAddress, 9100);
    printer.behaviour = PrinterCase{"answers", {0x16, 0x12, 0x12, 0x1E}, answering};
    const SendResult result = SendToPrinter(Ethernet(), kData, SendKind::kReceipt, memory.transports);
    EXPECT_EQ(result.end, SendEnd::kSent);
    ASSERT_EQ(result.before.count, 4);
    EXPECT_EQ(std::vector<std::uint8_t>(result.before.answers, result.before.answers + 4),
              (std::vector<std::uint8_t>{0x16, 0x12, 0x12, 0x1E}));
    EXPECT_EQ(ConditionsOf(result.before), kDrawerHigh | kPaperNearEnd);
    EXPECT_EQ(result.model, "TM-T88V");
    EXPECT_EQ(result.firmware, "30.01 ESC/POS");
    EXPECT_EQ(printer.All(), kData);
  }
}

TEST_F(PrinterPortTest, WhatWaitsBeforeARequestIsNeverTakenForItsAnswer) {
  MemoryPrinter& printer = memory_.network.Listen(kPrinterAddress, 9100);
  printer.behaviour = CaseNamed("ready");
  printer.behaviour.staleAnswerWaiting = true;
  const SendResult result = SendToPrinter(Ethernet(), kData, SendKind::kReceipt, memory_.transports);
  EXPECT_EQ(result.end, SendEnd::kSent) << "the waiting off-line answer was dropped";
  ASSERT_EQ(result.before.count, 4);
  EXPECT_EQ(std::vector<std::uint8_t>(result.before.answers, result.before.answers + 4),
            (std::vector<std::uint8_t>{0x12, 0x12, 0x12, 0x12}));
  EXPECT_EQ(printer.All(), kData);
}

TEST_F(PrinterPortTest, EachWaitForAnAnswerIsAtMostASecondAndNeverLongerThanTheTimeOut) {
  for (const std::uint32_t timeout : {200u, 1000u, 5000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(timeout);
    MemoryTransports memory;
    MemoryPrinter& printer = memory.network.Listen(kPrinterAddress, 9100);
    const SendResult result = SendToPrinter(Ethernet(timeout), kData, SendKind::kReceipt, memory.transports);
    EXPECT_EQ(result.end, SendEnd::kSent);
    const std::uint32_t wait = std::min(timeout, 1000u);
    std::uint64_t total = 0;
    for (const std::uint32_t w : printer.readWaits) {
      EXPECT_LE(w, wait);
      total += w;
    }
    EXPECT_EQ(total, wait) << "a printer that answers nothing costs one wait";
  }
}

TEST_F(PrinterPortTest, SerialAndUsbAskTheirPrintersToo) {
  MemorySerialPort& com3 = memory_.serial.Add(3);
  com3.printer.behaviour = CaseNamed("near end");  // near end
  const SendResult serial = SendToPrinter(Serial(3, 9600), kData, SendKind::kReceipt, transports_);
  EXPECT_EQ(serial.end, SendEnd::kSent);
  EXPECT_EQ(serial.before.count, 4);
  EXPECT_EQ(ConditionsOf(serial.after), kPaperNearEnd);
  EXPECT_EQ(com3.printer.All(), kData);

  MemoryUsbDevice& usb = memory_.usb.Add(u"\\\\?\\usb#p");
  usb.printer.behaviour = CaseNamed("cover open");  // cover open
  const SendResult covered = SendToPrinter(Usb(), kData, SendKind::kReceipt, transports_);
  EXPECT_EQ(covered.end, SendEnd::kNotReady);
  EXPECT_EQ(covered.device, u"\\\\?\\usb#p");
  EXPECT_TRUE(usb.printer.All().empty());

  // A device opened for writing only carries no answer back: it prints as before.
  usb.printer.readable = false;
  const SendResult oneWay = SendToPrinter(Usb(), kData, SendKind::kReceipt, transports_);
  EXPECT_EQ(oneWay.end, SendEnd::kSent);
  EXPECT_TRUE(oneWay.asked);
  EXPECT_EQ(oneWay.before.count, 0);
  EXPECT_EQ(usb.printer.All(), kData);
}

TEST_F(PrinterPortTest, TheDrawerPulseGivesTheDrawerTimeBeforeTheSwitchIsReadAgain) {
  MemoryPrinter& printer = memory_.network.Listen(kPrinterAddress, 9100);
  printer.behaviour = CaseNamed("ready");
  printer.behaviour.drawerOpensOnPulse = true;
  const Bytes pulse = {0x1B, 'p', 0, 25, 250};
  const SendResult result = SendToPrinter(Ethernet(), pulse, SendKind::kPulse, memory_.transports);
  EXPECT_EQ(result.end, SendEnd::kSent);
  EXPECT_EQ(printer.requests, (std::vector<std::string>{"DLE EOT 1", "DLE EOT 2", "DLE EOT 3", "DLE EOT 4", "DLE EOT 1",
                                                         "DLE EOT 2", "DLE EOT 3", "DLE EOT 4"}))
      << "no model name is asked for a pulse";
  EXPECT_EQ(ConditionsOf(result.before) & kDrawerHigh, 0u);
  EXPECT_EQ(ConditionsOf(result.after) & kDrawerHigh, kDrawerHigh);
  EXPECT_NE(std::find(printer.readWaits.begin(), printer.readWaits.end(), kDrawerSettleMs), printer.readWaits.end())
      << "the drawer is given time to move";
}

}  // namespace
}  // namespace dunlith::testing
