// Dunlith's commands against a fake window, the in-memory registry and the transports'
// stand-ins: what is sent where, what the window says, and the exit code.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/dunlith_dlg.h"
#include "fake_dunlith_view.h"
#include "memory_transports.h"
#include "printer_cases.h"
#include "receipt/receipt.h"
#include "receipt_bytes.h"
#include "registry_backends.h"
#include "registry_fixture.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"

namespace dunlith::testing {
namespace {

using corvale::kDrawerClass;
using corvale::kPrinterClass;

constexpr char kNow[] = "2026-12-10 14:07:21";
constexpr std::uint32_t kAddress = 0xC0A80164;  // 192.168.1.100

std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

struct LdnSettings {
  std::uint32_t portType = corvale::kPortEthernet;
  std::uint32_t portSetting = kAddress;
  std::uint32_t timeOut = 1000;
  std::uint32_t codePage = 437;
  std::uint32_t dotLineWidth = 576;
  bool withDrawer = true;
};

class DunlithDlgTest : public ::testing::Test {
 protected:
  DunlithDlgTest()
      : under_(corvale::testing::MakeMemoryRegistryUnderTest()),
        system_(corvale::kArchitectureAmd64),
        store_(under_->registry(), system_) {}

  void AddLdn(const std::u16string& name, const LdnSettings& settings = {}) {
    std::vector<const std::u16string*> classes{&kPrinterClass};
    if (settings.withDrawer) classes.push_back(&kDrawerClass);
    for (const std::u16string* deviceClass : classes) {
      store_.EnsureClassKeys(*deviceClass);
      ASSERT_EQ(store_.CreateLDN(name, *deviceClass), corvale::kLdnCreated);
      corvale::LDNRecord record(store_, name, *deviceClass);
      record.PortType = settings.portType;
      record.PortSetting = settings.portSetting;
      record.TimeOut = settings.timeOut;
      record.CharCodePage = settings.codePage;
      record.DotLineWidth = settings.dotLineWidth;
      ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
    }
  }

  CDunlithDlg& Start(const std::u16string& parameters, Language language = Language::kEnglish) {
    commands_ = std::make_unique<CDunlithDlg>(store_, language, kNow);
    commands_->OnInit(view_, parameters);
    return *commands_;
  }

  Bytes Receipt(const std::u16string& name, const std::string& portWords, std::uint32_t codePage = 437,
                std::uint32_t dotLineWidth = 576) {
    ReceiptContent content;
    content.ldnName = name;
    content.portWords = portWords;
    content.printedAt = kNow;
    content.codePage = codePage;
    content.dotLineWidth = dotLineWidth;
    return BuildReceipt(content);
  }

  std::unique_ptr<corvale::testing::RegistryUnderTest> under_;
  FixedArchitecture system_;
  corvale::OposStore store_;
  MemoryTransports memory_;
  FakeDunlithView view_;
  std::unique_ptr<CDunlithDlg> commands_;
};

TEST_F(DunlithDlgTest, SendsTheReceiptOfTheLdnToItsPrinterAndSaysSo) {
  AddLdn(u"Shop 1");
  MemoryPrinter& printer = memory_.network.Listen(kAddress, 9100);
  CDunlithDlg& commands = Start(u"Shop 1");
  EXPECT_EQ(view_.closeText, u"Close");
  EXPECT_EQ(view_.openDrawerText, u"Open drawer");
  ASSERT_EQ(view_.sends.size(), 1u);
  EXPECT_TRUE(commands.sending());
  EXPECT_FALSE(view_.openDrawerEnabled) << "not while the receipt is being sent";
  const Bytes expected = Receipt(u"Shop 1", "192.168.1.100:9100");
  EXPECT_EQ(view_.report, u"Sending the test receipt of LDN \"Shop 1\" (" + Number(expected.size()) +
                              u" bytes) to 192.168.1.100:9100, time-out 1000 ms ...");

  view_.RunSend(commands, memory_.transports);
  ASSERT_EQ(printer.printed.size(), 1u);
  EXPECT_EQ(AsText(printer.printed[0]), AsText(expected));
  EXPECT_EQ(view_.report, u"Sending the test receipt of LDN \"Shop 1\" (" + Number(expected.size()) +
                              u" bytes) to 192.168.1.100:9100, time-out 1000 ms ...\r\n"
                              u"The printer gives no status over this port.\r\n"
                              u"Sent " + Number(expected.size()) + u" bytes to 192.168.1.100:9100.\r\n"
                              u"This window closes by itself in 3 seconds.");
  EXPECT_EQ(commands.exitCode(), kExitSent);
  EXPECT_EQ(view_.autoCloseMs, 3000u);
  EXPECT_TRUE(view_.openDrawerEnabled);
  commands.OnAutoClose();
  EXPECT_EQ(view_.exitCode, kExitSent);
}

TEST_F(DunlithDlgTest, EachPortKindCodePageAndWidthReachesItsPrinterExactly) {
  const struct {
    std::u16string name;
    LdnSettings settings;
    std::string portWords;
  } cases[] = {
      {u"Net", {corvale::kPortEthernet, 0x7F000001, 1000, 850, 640, true}, "127.0.0.1:9100"},
      {u"Com3", {corvale::kPortSerial, 0x0203, 1000, 866, 576, true}, "COM3 at 19200"},
      {u"Com12", {corvale::kPortSerial, 0x040C, 1000, 1252, 384, true}, "COM12 at 115200"},
      {u"Usb", {corvale::kPortUsb, 0, 1000, 936, 576, true}, "USB"},
      {u"Usb other", {corvale::kPortUsb, 0, 1000, 1251, 640, true}, "USB"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    AddLdn(c.name, c.settings);
    MemoryTransports memory;
    MemoryPrinter* printer = nullptr;
    switch (c.settings.portType) {
      case corvale::kPortEthernet: printer = &memory.network.Listen(c.settings.portSetting, 9100); break;
      case corvale::kPortSerial: printer = &memory.serial.Add(c.settings.portSetting & 0xFF).printer; break;
      default: printer = &memory.usb.Add(u"\\\\?\\usb#vid_0416&pid_5011#1#x").printer; break;
    }
    CDunlithDlg& commands = Start(c.name);
    ASSERT_EQ(view_.sends.size(), 1u);
    view_.RunSend(commands, memory.transports);
    view_.sends.clear();
    EXPECT_EQ(commands.exitCode(), kExitSent) << Narrow(view_.report);
    EXPECT_EQ(HexAndText(printer->All()),
              HexAndText(Receipt(c.name, c.portWords, c.settings.codePage, c.settings.dotLineWidth)));
  }
}

TEST_F(DunlithDlgTest, PortFailuresAreToldInPlainWordsWithExitCode1) {
  const struct {
    std::u16string name;
    LdnSettings settings;
    std::function<void(MemoryTransports&)> arrange;
    std::u16string outcome;
  } cases[] = {
      {u"Refused", {}, [](MemoryTransports&) {},
       u"192.168.1.100:9100 refused the connection: no printer listens there."},
      {u"Silent", {corvale::kPortEthernet, kAddress, 1000}, [](MemoryTransports& m) { m.network.Silence(kAddress, 9100); },
       u"No printer answered at 192.168.1.100:9100 within 1000 ms."},
      {u"Partial", {corvale::kPortEthernet, kAddress, 2000},
       [](MemoryTransports& m) { m.network.Listen(kAddress, 9100).takes = 100; },
       u"192.168.1.100:9100 took only 100 of %TOTAL% bytes within 2000 ms."},
      {u"Reset", {}, [](MemoryTransports& m) {
         MemoryPrinter& p = m.network.Listen(kAddress, 9100);
         p.takes = 10;
         p.failCode = 10054;
       },
       u"Sending to 192.168.1.100:9100 failed after 10 of %TOTAL% bytes: An existing connection was forcibly closed "
       u"by the remote host."},
      {u"Busy COM", {corvale::kPortSerial, 0x0203}, [](MemoryTransports& m) { m.serial.Add(3).openError = 5; },
       u"COM3 could not be opened: Access is denied."},
      {u"Missing COM", {corvale::kPortSerial, 0x010F}, [](MemoryTransports&) {},
       u"COM15 could not be opened: The system cannot find the file specified."},
      {u"Picky COM", {corvale::kPortSerial, 0x0403}, [](MemoryTransports& m) { m.serial.Add(3).refusesSettings = true; },
       u"COM3 could not be set to 115200 baud, 8 data bits, no parity, 1 stop bit: The parameter is incorrect."},
      {u"Stuck COM", {corvale::kPortSerial, 0x0103, 500}, [](MemoryTransports& m) { m.serial.Add(3).printer.takes = 0; },
       u"COM3 took only 0 of %TOTAL% bytes within 500 ms."},
      {u"No USB", {corvale::kPortUsb, 0}, [](MemoryTransports&) {}, u"No USB printer is connected."},
      {u"Closed USB", {corvale::kPortUsb, 0}, [](MemoryTransports& m) { m.usb.Add(u"\\\\?\\usb#p").openError = 31; },
       u"The USB printer \\\\?\\usb#p could not be opened: A device attached to the system is not functioning."},
      {u"Slow USB", {corvale::kPortUsb, 0, 300}, [](MemoryTransports& m) { m.usb.Add(u"\\\\?\\usb#p").printer.takes = 7; },
       u"The USB printer \\\\?\\usb#p took only 7 of %TOTAL% bytes within 300 ms."},
      {u"No Winsock", {}, [](MemoryTransports& m) { m.network.RemoveNetworking(10091); },
       u"Windows networking could not be started: WSAStartup cannot function at this time because the underlying "
       u"system it uses to provide network services is currently unavailable."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    AddLdn(c.name, c.settings);
    MemoryTransports memory;
    c.arrange(memory);
    view_ = FakeDunlithView();
    CDunlithDlg& commands = Start(c.name);
    ASSERT_EQ(view_.sends.size(), 1u);
    const SendResult result = view_.RunSend(commands, memory.transports);
    std::u16string outcome = c.outcome;
    if (const std::size_t at = outcome.find(u"%TOTAL%"); at != std::u16string::npos) {
      outcome.replace(at, 7, Number(result.total));
    }
    EXPECT_EQ(Narrow(view_.report.substr(view_.report.rfind(u"\r\n") + 2)), Narrow(outcome));
    EXPECT_EQ(commands.exitCode(), kExitPortFailure);
    EXPECT_FALSE(view_.autoCloseMs.has_value()) << "a failure stays until it is closed";
    EXPECT_TRUE(view_.openDrawerEnabled) << "the drawer can still be tried";
    commands.OnClose();
    EXPECT_EQ(view_.exitCode, kExitPortFailure);
  }
}

TEST_F(DunlithDlgTest, ABadOrUnknownLdnIsToldWithExitCode2AndNothingIsSent) {
  AddLdn(u"Fresh", {0, 1});
  AddLdn(u"Foreign", {corvale::kPortUsb, 0});
  const std::u16string foreignKey =
      store_.ClassKeyPath(kPrinterClass) + u"\\" +
      corvale::testing::RegistrySeed(under_->registry()).String(store_.ClassKeyPath(kPrinterClass), u"Foreign");
  corvale::testing::RegistrySeed(under_->registry()).Dword(foreignKey, u"VersionSO", 0);
  AddLdn(u"Serial", {corvale::kPortSerial, 0x0003});
  const struct {
    std::u16string parameters;
    std::u16string text;
  } cases[] = {
      {u"", u"No LDN was given: Dunlith prints a test receipt for the LDN named on its command line."},
      {u"Nobody", u"There is no LDN \"Nobody\" under POSPrinter."},
      {u"\"Nobody here\"", u"There is no LDN \"Nobody here\" under POSPrinter."},
      {u"Fresh", u"LDN \"Fresh\" has no port yet: choose one in Corvale and press Apply."},
      {u"Foreign", u"LDN \"Foreign\" was not set up with Corvale, so it is not tested."},
      {u"Serial", u"LDN \"Serial\" names no baud rate for COM3."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.parameters));
    view_ = FakeDunlithView();
    CDunlithDlg& commands = Start(c.parameters);
    EXPECT_TRUE(view_.sends.empty());
    EXPECT_EQ(view_.report, c.text);
    EXPECT_EQ(commands.exitCode(), kExitBadLdn);
    EXPECT_FALSE(view_.openDrawerEnabled);
    EXPECT_FALSE(view_.autoCloseMs.has_value());
    commands.OnOpenDrawer();
    EXPECT_TRUE(view_.sends.empty()) << "no drawer without a usable LDN";
    commands.OnClose();
    EXPECT_EQ(view_.exitCode, kExitBadLdn);
  }
}

TEST_F(DunlithDlgTest, OpenDrawerSendsThePulseThroughThePrintersPort) {
  AddLdn(u"Till", {corvale::kPortSerial, 0x0205});
  MemorySerialPort& com5 = memory_.serial.Add(5);
  CDunlithDlg& commands = Start(u"Till");
  view_.RunSend(commands, memory_.transports);
  ASSERT_TRUE(view_.openDrawerEnabled);
  ASSERT_EQ(view_.autoCloseMs, 3000u);

  commands.OnOpenDrawer();
  EXPECT_FALSE(view_.autoCloseMs.has_value()) << "the window stays while the drawer opens";
  EXPECT_FALSE(view_.openDrawerEnabled);
  ASSERT_EQ(view_.sends.size(), 2u);
  commands.OnOpenDrawer();
  EXPECT_EQ(view_.sends.size(), 2u) << "one send at a time";
  view_.RunSend(commands, memory_.transports);
  ASSERT_EQ(com5.printer.printed.size(), 2u);
  EXPECT_EQ(com5.printer.printed[1], DrawerPulse());
  EXPECT_NE(view_.report.find(u"\r\nSending the cash drawer pulse to COM5 at 19200 ...\r\n"
                              u"The printer gives no status over this port.\r\nSent 5 bytes to COM5.\r\n"
                              u"This window closes by itself in 3 seconds."),
            std::u16string::npos);
  EXPECT_EQ(commands.exitCode(), kExitSent);
}

TEST_F(DunlithDlgTest, NoDrawerButtonWithoutTheCashDrawerHalf) {
  AddLdn(u"Printer only", {corvale::kPortEthernet, kAddress, 1000, 437, 576, false});
  memory_.network.Listen(kAddress, 9100);
  CDunlithDlg& commands = Start(u"Printer only");
  view_.RunSend(commands, memory_.transports);
  EXPECT_EQ(commands.exitCode(), kExitSent);
  EXPECT_FALSE(view_.openDrawerEnabled);
  commands.OnOpenDrawer();
  EXPECT_EQ(view_.sends.size(), 1u);
}

TEST_F(DunlithDlgTest, ClosingWhileSendingEndsWithExitCode1) {
  AddLdn(u"Shop");
  memory_.network.Listen(kAddress, 9100);
  CDunlithDlg& commands = Start(u"Shop");
  commands.OnAutoClose();
  EXPECT_FALSE(view_.exitCode.has_value()) << "a stray timer does not end a send";
  commands.OnClose();
  EXPECT_EQ(view_.exitCode, kExitPortFailure);
}

TEST_F(DunlithDlgTest, ClosingAfterSuccessKeepsExitCode0) {
  AddLdn(u"Shop");
  memory_.network.Listen(kAddress, 9100);
  CDunlithDlg& commands = Start(u"Shop");
  view_.RunSend(commands, memory_.transports);
  commands.OnClose();
  EXPECT_EQ(view_.exitCode, kExitSent);
  EXPECT_FALSE(view_.autoCloseMs.has_value());
}

TEST_F(DunlithDlgTest, AWorkerThatCannotStartIsAPortFailure) {
  AddLdn(u"Shop");
  view_.refuseWorker = true;
  CDunlithDlg& commands = Start(u"Shop");
  EXPECT_FALSE(commands.sending());
  EXPECT_EQ(commands.exitCode(), kExitPortFailure);
  EXPECT_NE(view_.report.find(u"\r\nThe send could not be started."), std::u16string::npos);
}

TEST_F(DunlithDlgTest, ChineseTextsForUiLanguage2052) {
  EXPECT_EQ(LanguageOf(2052), Language::kChinese);
  EXPECT_EQ(LanguageOf(1033), Language::kEnglish);
  EXPECT_EQ(LanguageOf(1028), Language::kEnglish) << "traditional Chinese is not 2052";
  AddLdn(u"Shop");
  memory_.network.Listen(kAddress, 9100);
  CDunlithDlg& commands = Start(u"Shop", Language::kChinese);
  EXPECT_EQ(view_.closeText, u"关闭");
  EXPECT_EQ(view_.openDrawerText, u"打开钱箱");
  view_.RunSend(commands, memory_.transports);
  const Bytes receipt = Receipt(u"Shop", "192.168.1.100:9100");
  EXPECT_EQ(view_.report, u"正在将 LDN \"Shop\" 的测试小票（" + Number(receipt.size()) +
                              u" 字节）发送到 192.168.1.100:9100，超时 1000 毫秒……\r\n打印机不通过此端口提供状态。\r\n"
                              u"已向 192.168.1.100:9100 发送 " +
                              Number(receipt.size()) + u" 字节。\r\n本窗口将在 3 秒后自动关闭。");
  view_ = FakeDunlithView();
  Start(u"Nobody", Language::kChinese);
  EXPECT_EQ(view_.report, u"POSPrinter 下没有 LDN \"Nobody\"。");
}

TEST_F(DunlithDlgTest, SaysWhatThePrinterAnswersAndPrintsOnlyIntoAReadyOne) {
  AddLdn(u"Shop");
  const Bytes receipt = Receipt(u"Shop", "192.168.1.100:9100");
  for (const PrinterOutcome& c : PrinterOutcomes()) {
    SCOPED_TRACE(c.printer.name);
    MemoryTransports memory;
    MemoryPrinter& printer = memory.network.Listen(kAddress, 9100);
    printer.behaviour = c.printer;
    view_ = FakeDunlithView();
    CDunlithDlg& commands = Start(u"Shop");
    ASSERT_EQ(view_.sends.size(), 1u);
    view_.RunSend(commands, memory.transports);
    const std::size_t announced = view_.report.find(u"\r\n");
    ASSERT_NE(announced, std::u16string::npos) << Narrow(view_.report);
    EXPECT_EQ(Narrow(view_.report.substr(announced + 2)),
              Narrow(ExpectedLines(c.lines, u"192.168.1.100:9100", receipt.size())));
    EXPECT_EQ(commands.exitCode(), c.exitCode);
    EXPECT_EQ(HexAndText(printer.All()), HexAndText(c.printed ? receipt : Bytes()));
    EXPECT_EQ(view_.autoCloseMs.has_value(), c.lines.back() == u"This window closes by itself in 3 seconds.")
        << "a warning or a failure stays until the window is closed";
    EXPECT_TRUE(view_.openDrawerEnabled) << "the drawer can still be tried";
    commands.OnClose();
    EXPECT_EQ(view_.exitCode, c.exitCode);
  }
}

TEST_F(DunlithDlgTest, ThePrintersStateInChinese) {
  AddLdn(u"Shop");
  const struct {
    const char* printer;
    std::u16string lines;
  } cases[] = {
      {"cover open", u"打印机离线。\r\n打印机盖已打开。\r\n钱箱开关：低。\r\n"
                     u"打印机未就绪，因此没有发送测试小票：否则它会留在打印机里，稍后打印在别人的小票上。"},
      {"silent", u"打印机不通过此端口提供状态。\r\n已向 192.168.1.100:9100 发送 %BYTES% 字节。\r\n本窗口将在 3 秒后自动关闭。"},
      {"near end", u"打印机：TM-T88V，固件 30.01 ESC/POS。\r\n打印机在线。\r\n纸将尽：纸卷快用完了。\r\n钱箱开关：低。\r\n"
                   u"已向 192.168.1.100:9100 发送 %BYTES% 字节。\r\n请尽快换上新的纸卷。"},
  };
  const Bytes receipt = Receipt(u"Shop", "192.168.1.100:9100");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printer);
    MemoryTransports memory;
    memory.network.Listen(kAddress, 9100).behaviour = CaseNamed(c.printer);
    view_ = FakeDunlithView();
    CDunlithDlg& commands = Start(u"Shop", Language::kChinese);
    view_.RunSend(commands, memory.transports);
    EXPECT_EQ(view_.report.substr(view_.report.find(u"\r\n") + 2), ExpectedLines({c.lines}, u"", receipt.size()));
  }
}

TEST_F(DunlithDlgTest, OpenDrawerShowsTheSwitchBeforeAndAfterThePulse) {
  AddLdn(u"Till", {corvale::kPortSerial, 0x0205});
  MemorySerialPort& com5 = memory_.serial.Add(5);
  com5.printer.behaviour = CaseNamed("ready");
  com5.printer.behaviour.drawerOpensOnPulse = true;
  CDunlithDlg& commands = Start(u"Till");
  view_.RunSend(commands, memory_.transports);
  ASSERT_EQ(view_.autoCloseMs, 3000u) << Narrow(view_.report);
  const std::size_t shown = view_.report.size();
  commands.OnOpenDrawer();
  view_.RunSend(commands, memory_.transports);
  EXPECT_EQ(Narrow(view_.report.substr(shown)),
            "\r\nSending the cash drawer pulse to COM5 at 19200 ...\r\nSent 5 bytes to COM5.\r\n"
            "Drawer switch: low before the pulse, high after it.\r\nThis window closes by itself in 3 seconds.");
  EXPECT_EQ(commands.exitCode(), kExitSent);
  ASSERT_EQ(com5.printer.printed.size(), 2u);
  EXPECT_EQ(com5.printer.printed[1], DrawerPulse());
}

TEST_F(DunlithDlgTest, NoDrawerPulseIntoAPrinterThatIsNotReady) {
  AddLdn(u"Till");
  MemoryPrinter& printer = memory_.network.Listen(kAddress, 9100);
  printer.behaviour = CaseNamed("ready");
  CDunlithDlg& commands = Start(u"Till");
  view_.RunSend(commands, memory_.transports);
  ASSERT_EQ(commands.exitCode(), kExitSent);
  printer.behaviour = CaseNamed("cover open");
  const std::size_t shown = view_.report.size();
  commands.OnOpenDrawer();
  view_.RunSend(commands, memory_.transports);
  EXPECT_EQ(Narrow(view_.report.substr(shown)),
            "\r\nSending the cash drawer pulse to 192.168.1.100:9100 ...\r\nThe printer is off-line.\r\n"
            "The cover is open.\r\nDrawer switch: low.\r\nThe printer is not ready, so the drawer pulse was not sent: "
            "it would wait in the printer and open the drawer later.");
  EXPECT_EQ(commands.exitCode(), kExitNotReady);
  EXPECT_FALSE(view_.autoCloseMs.has_value());
  ASSERT_EQ(printer.printed.size(), 2u);
  EXPECT_TRUE(printer.printed[1].empty());
  commands.OnClose();
  EXPECT_EQ(view_.exitCode, kExitNotReady);
}

TEST(CommandLine, TheParameterTextFollowsTheProgramsNameAndOneBlank) {
  const struct {
    std::u16string line;
    std::u16string parameters;
  } cases[] = {
      {u"Dunlith.exe Shop 1", u"Shop 1"},
      {u"\"C:\\Program Files\\POS\\Dunlith.exe\" Shop 1", u"Shop 1"},
      // As ShellExecute starts it for the LDNs " Shop" and "\"Shop\"".
      {u"\"C:\\Program Files\\POS\\Dunlith.exe\"  Shop", u" Shop"},
      {u"\"C:\\Program Files\\POS\\Dunlith.exe\" \"Shop\"", u"\"Shop\""},
      {u"\"C:\\Program Files\\POS\\Dunlith.exe\"\tShop", u"Shop"},
      {u"Dunlith.exe   \t Shop  1 ", u"  \t Shop  1 "},
      {u"Dunlith.exe ", u""},
      // Quotes may enclose any part of the program's name; only a blank outside them ends it.
      {u"C:\\\"Program Files\"\\POS\\Dunlith.exe Shop", u"Shop"},
      {u"\"C:\\Program Files\\POS\\Dunlith.exe\"Shop", u""},
      {u"\"C:\\Program Files\\POS\\Dunlith.exe\"Shop 1", u"1"},
      {u"\"C:\\Program Files\\POS\\Dunlith.exe Shop", u""},
      {u"Dunlith.exe", u""},
      {u"\"Dunlith.exe\"", u""},
      {u"", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.line));
    EXPECT_EQ(Narrow(ParameterText(c.line)), Narrow(c.parameters));
  }
}

TEST_F(DunlithDlgTest, PrintsThroughTheLdnOfExactlyTheNameThatCorvaleHandsOver) {
  constexpr std::uint32_t kOther = 0xC0A80165;
  constexpr std::uint32_t kThird = 0xC0A80166;
  AddLdn(u" Shop", {corvale::kPortEthernet, kAddress});
  AddLdn(u"Shop", {corvale::kPortEthernet, kOther});
  AddLdn(u"\"Shop\"", {corvale::kPortEthernet, kThird});
  const struct {
    std::u16string line;
    std::uint32_t address;
    std::string ldnLine;
  } cases[] = {
      {u"\"C:\\POS\\Dunlith.exe\"  Shop", kAddress, "\nLDN:   Shop\n"},
      {u"\"C:\\POS\\Dunlith.exe\" Shop", kOther, "\nLDN:  Shop\n"},
      {u"\"C:\\POS\\Dunlith.exe\" \"Shop\"", kThird, "\nLDN:  \"Shop\"\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Narrow(c.line));
    MemoryTransports memory;
    MemoryPrinter& printer = memory.network.Listen(c.address, 9100);
    view_ = FakeDunlithView();
    CDunlithDlg& commands = Start(ParameterText(c.line));
    ASSERT_EQ(view_.sends.size(), 1u) << Narrow(view_.report);
    view_.RunSend(commands, memory.transports);
    EXPECT_EQ(commands.exitCode(), kExitSent) << Narrow(view_.report);
    EXPECT_NE(AsText(printer.All()).find(c.ldnLine), std::string::npos) << AsText(printer.All());
  }
}

TEST_F(DunlithDlgTest, ATimeOutBeyondAMinuteIsCappedAndSaidSoAndStaysStored) {
  AddLdn(u"Forever", {corvale::kPortEthernet, kAddress, 0xFFFFFFFF});
  MemoryPrinter& printer = memory_.network.Listen(kAddress, 9100);
  CDunlithDlg& commands = Start(u"Forever");
  ASSERT_EQ(view_.sends.size(), 1u);
  EXPECT_EQ(view_.sends[0].port.timeoutMs, 60000u);
  const std::u16string capped =
      u"The LDN's time-out of 4294967295 ms is longer than Dunlith waits: it waits at most 60000 ms.\r\n"
      u"Sending the test receipt of LDN \"Forever\" (";
  EXPECT_EQ(Narrow(view_.report.substr(0, capped.size())), Narrow(capped));
  EXPECT_NE(view_.report.find(u"time-out 60000 ms ..."), std::u16string::npos) << Narrow(view_.report);
  view_.RunSend(commands, memory_.transports);
  EXPECT_EQ(commands.exitCode(), kExitSent);
  EXPECT_EQ(memory_.network.connectTimeouts, std::vector<std::uint32_t>{60000});
  EXPECT_EQ(printer.writeTimeouts, (std::vector<std::uint32_t>{1000, 60000}))
      << "the status request within the wait for its answer, the receipt within the capped time-out";
  EXPECT_EQ(corvale::LDNRecord(store_, u"Forever", kPrinterClass).TimeOut, 0xFFFFFFFFu);

  view_ = FakeDunlithView();
  AddLdn(u"A minute", {corvale::kPortEthernet, kAddress, 60000});
  Start(u"A minute");
  EXPECT_EQ(view_.report.find(u"longer than Dunlith waits"), std::u16string::npos) << "a minute is no cap";
}

}  // namespace
}  // namespace dunlith::testing
