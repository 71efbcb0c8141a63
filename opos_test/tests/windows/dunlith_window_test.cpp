// The shipped Dunlith.exe under Wine: started with an LDN as Corvale starts it, asking and sending
// to an ESC/POS printer that the test plays on 127.0.0.1:9100, driven by window messages by
// control id, with the real registry behind it.
#include <gtest/gtest.h>

#include "loopback_printer.h"

#include <chrono>
#include <cwchar>
#include <fstream>
#include <memory>
#include <string>

#include "opos_test/resources/resource.h"
#include "printer_cases.h"
#include "platform/system_info.h"
#include "platform/win32_registry.h"
#include "receipt/receipt.h"
#include "receipt_bytes.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"
#include "transport_backends.h"
#include "window_driver.h"

namespace dunlith::testing {
namespace {

using namespace pos::testing;
using corvale::kDrawerClass;
using corvale::kPrinterClass;

constexpr std::uint32_t kLoopbackAddress = 0x7F000001;
// What start-up and a time-out may overrun by on a loaded machine under Wine.
constexpr DWORD kMarginMs = 2500;
// The same for a measured time: stretched where the processor is emulated, since there it is the
// work around a wait that is slow, not the wait itself.
long long MarginMs() { return pos::testing::Scaled(kMarginMs); }

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// The time that a received receipt names, so that the rest of it can be compared exactly.
std::string PrintedAt(const std::string& receipt) {
  const std::size_t at = receipt.find("\nTime: ");
  if (at == std::string::npos) return {};
  return receipt.substr(at + 7, receipt.find('\n', at + 7) - at - 7);
}

class DunlithWindowTest : public ::testing::Test {
 protected:
  DunlithWindowTest() : store_(registry_, system_) {}

  void SetUp() override { Clear(); }
  void TearDown() override {
    program_.reset();
    Clear();
  }
  void Clear() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kPrinterClass)).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kDrawerClass)).c_str());
  }

  void AddLdn(const std::u16string& name, std::uint32_t portType, std::uint32_t portSetting,
              std::uint32_t timeOut = 1000, bool withDrawer = true) {
    std::vector<const std::u16string*> classes{&kPrinterClass};
    if (withDrawer) classes.push_back(&kDrawerClass);
    for (const std::u16string* deviceClass : classes) {
      store_.EnsureClassKeys(*deviceClass);
      ASSERT_EQ(store_.CreateLDN(name, *deviceClass), corvale::kLdnCreated);
      corvale::LDNRecord record(store_, name, *deviceClass);
      record.PortType = portType;
      record.PortSetting = portSetting;
      record.TimeOut = timeOut;
      ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
    }
  }

  void StartDunlith(const std::wstring& parameters) {
    program_ = std::make_unique<Program>();
    launched_ = std::chrono::steady_clock::now();
    ASSERT_TRUE(program_->Start(ProgramsUnderTestDirectory() + L"\\Dunlith.exe", ProgramsUnderTestDirectory(),
                                L"Dunlith", parameters))
        << "Dunlith's window did not appear";
    // The send starts as the window is made, just before it shows.
    started_ = std::chrono::steady_clock::now();
    window_ = program_->window();
  }

  // As Corvale's Test Printer starts it: ShellExecuteW's "open" of the full path, with the LDN's
  // name as the parameter text exactly as listed.
  void StartDunlithAsCorvaleDoes(const std::wstring& ldnName) {
    program_ = std::make_unique<Program>();
    launched_ = std::chrono::steady_clock::now();
    ASSERT_TRUE(program_->StartThroughShell(ProgramsUnderTestDirectory() + L"\\Dunlith.exe",
                                            ProgramsUnderTestDirectory(), L"Dunlith", ldnName))
        << "Dunlith's window did not appear";
    started_ = std::chrono::steady_clock::now();
    window_ = program_->window();
  }

  // The report once its last line is |last|, or as it stands after |milliseconds|.
  std::wstring WaitForLastLine(const std::wstring& last, DWORD milliseconds = 15000) {
    const auto start = std::chrono::steady_clock::now();
    std::wstring report;
    while (MillisecondsSince(start) < milliseconds) {
      report = ControlText(window_, IDE_REPORT);
      if (report.size() >= last.size() && report.compare(report.size() - last.size(), last.size(), last) == 0) break;
      Sleep(20);
    }
    return report;
  }

  // The report once it holds |part|, or as it stands after |milliseconds|.
  std::wstring WaitForReportWith(const std::wstring& part, DWORD milliseconds = 15000) {
    const auto start = std::chrono::steady_clock::now();
    std::wstring report = ControlText(window_, IDE_REPORT);
    while (report.find(part) == std::wstring::npos && MillisecondsSince(start) < milliseconds) {
      Sleep(20);
      report = ControlText(window_, IDE_REPORT);
    }
    return report;
  }

  // The receipt's size as the announcement names it: "... (1234 bytes) to ...".
  static std::size_t AnnouncedBytes(const std::wstring& report) {
    const std::size_t open = report.find(L" (");
    return open == std::wstring::npos ? 0 : std::wcstoul(report.c_str() + open + 2, nullptr, 10);
  }

  bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
  }

  std::wstring Screenshot(const std::wstring& name) { return ScreenshotPath(name); }

  // Other tests' windows share the screen: the window goes above them for its picture.
  bool SaveOnTop(const std::wstring& name) {
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return SaveScreenshot(window_, Screenshot(name));
  }

  corvale::Win32Registry registry_;
  corvale::Win32SystemInfo system_;
  corvale::OposStore store_;
  std::unique_ptr<Program> program_;
  HWND window_ = nullptr;
  // Before the program was started: nothing it waits for can have ended earlier than its time
  // after this, however late the test sees its window.
  std::chrono::steady_clock::time_point launched_;
  // When the test saw the window: the program's waits end within their time plus a margin after it.
  std::chrono::steady_clock::time_point started_;
};

TEST_F(DunlithWindowTest, SendsTheReceiptToALoopbackPrinterThenClosesByItself) {
  LoopbackPrinter printer(CaseNamed("ready"));
  ASSERT_TRUE(printer.Listening());
  AddLdn(u"Shop 1", corvale::kPortEthernet, kLoopbackAddress);
  StartDunlith(L"Shop 1");

  const auto received = printer.WaitForConnections(1, 15000);
  ASSERT_EQ(received.size(), 1u);
  const std::string bytes = AsText(received[0]);
  ReceiptContent content;
  content.ldnName = u"Shop 1";
  content.portWords = "127.0.0.1:9100";
  content.printedAt = PrintedAt(bytes);
  EXPECT_EQ(content.printedAt.size(), 19u) << bytes;
  EXPECT_EQ(HexAndText(received[0]), HexAndText(BuildReceipt(content)));
  std::ofstream(Utf8(Screenshot(L"dunlith-received.txt")), std::ios::binary) << HexAndText(received[0]);

  const std::wstring sent = L"Sent " + std::to_wstring(received[0].size()) + L" bytes to 127.0.0.1:9100.";
  const std::wstring report = WaitForLastLine(L"This window closes by itself in 3 seconds.");
  EXPECT_EQ(report, L"Sending the test receipt of LDN \"Shop 1\" (" + std::to_wstring(received[0].size()) +
                        L" bytes) to 127.0.0.1:9100, time-out 1000 ms ...\r\n"
                        L"Printer: TM-T88V, firmware 30.01 ESC/POS.\r\nThe printer is on-line.\r\nDrawer switch: low.\r\n" +
                        sent + L"\r\nThis window closes by itself in 3 seconds.");
  const auto shown = std::chrono::steady_clock::now();
  EXPECT_TRUE(Enabled(window_, IDB_OPEN_DRAWER));
  EXPECT_EQ(ControlText(window_, IDCANCEL), L"Close");
  EXPECT_TRUE(SaveOnTop(L"dunlith-sent.png"));
  EXPECT_EQ(printer.Requests(), (std::vector<std::string>{"DLE EOT 1", "DLE EOT 2", "DLE EOT 3", "DLE EOT 4", "GS I 67",
                                                           "GS I 65", "DLE EOT 1", "DLE EOT 2", "DLE EOT 3", "DLE EOT 4"}))
      << "the status and who is there before the receipt, the status again after it";

  ASSERT_TRUE(program_->WaitForExit(3000 + kMarginMs)) << "it closes by itself after a success";
  EXPECT_GE(MillisecondsSince(shown), 2000);
  EXPECT_EQ(program_->ExitCode(), 0u);
}

TEST_F(DunlithWindowTest, StartedAsCorvaleStartsItPrintsThroughTheLdnOfExactlyThatName) {
  LoopbackPrinter printer(LoopbackPrinter::Mode::kReading);
  ASSERT_TRUE(printer.Listening());
  // Each look-alike's printer is elsewhere, where nothing listens.
  constexpr std::uint32_t kElsewhere = 0x7F000002;
  AddLdn(u" Shop", corvale::kPortEthernet, kLoopbackAddress);
  AddLdn(u"Shop", corvale::kPortEthernet, kElsewhere);
  AddLdn(u"\"Till\"", corvale::kPortEthernet, kLoopbackAddress);
  AddLdn(u"Till", corvale::kPortEthernet, kElsewhere);
  const struct {
    const wchar_t* ldn;
    const char* ldnLine;
  } cases[] = {
      {L" Shop", "\nLDN:   Shop\n"},
      {L"\"Till\"", "\nLDN:  \"Till\"\n"},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(Utf8(cases[i].ldn));
    StartDunlithAsCorvaleDoes(cases[i].ldn);
    const auto received = printer.WaitForConnections(i + 1, 15000);
    ASSERT_EQ(received.size(), i + 1) << Utf8(ControlText(window_, IDE_REPORT));
    EXPECT_NE(AsText(received[i]).find(cases[i].ldnLine), std::string::npos) << AsText(received[i]);
    ASSERT_TRUE(program_->WaitForExit(3000 + kMarginMs + 15000)) << Utf8(ControlText(window_, IDE_REPORT));
    EXPECT_EQ(program_->ExitCode(), 0u);
  }
  // The name without the blank is the other LDN, whose printer is not there.
  StartDunlithAsCorvaleDoes(L"Shop");
  const std::wstring refused = L"127.0.0.2:9100 refused the connection: no printer listens there.";
  EXPECT_TRUE(EndsWith(WaitForLastLine(refused), refused));
  Press(window_, IDCANCEL);
  ASSERT_TRUE(program_->WaitForExit(5000));
  EXPECT_EQ(program_->ExitCode(), 1u);
  EXPECT_EQ(printer.WaitForConnections(3, 0).size(), 2u);
}

// The printers of the table on the loopback TCP printer: what the window says, the exit code, and
// whether the receipt came.
TEST_F(DunlithWindowTest, AsksThePrinterHowItIsAndPrintsOnlyIntoAReadyOne) {
  AddLdn(u"Shop 1", corvale::kPortEthernet, kLoopbackAddress, 1000);
  for (const PrinterOutcome& outcome : PrinterOutcomes()) {
    SCOPED_TRACE(outcome.printer.name);
    LoopbackPrinter printer(outcome.printer);
    ASSERT_TRUE(printer.Listening());
    StartDunlith(L"Shop 1");
    const std::wstring report = WaitForLastLine(Wide(ExpectedLines({outcome.lines.back()}, u"127.0.0.1:9100", 0)));
    const long long elapsed = MillisecondsSince(started_);
    const std::size_t bytes = AnnouncedBytes(report);
    ASSERT_NE(report.find(L"\r\n"), std::wstring::npos) << Utf8(report);
    EXPECT_EQ(Utf8(report.substr(report.find(L"\r\n") + 2)),
              Utf8(Wide(ExpectedLines(outcome.lines, u"127.0.0.1:9100", bytes))));
    // The time-out of 1000 ms and a wait of at most 1 s for an answer that does not come.
    EXPECT_LE(elapsed, 1000 + 1000 + MarginMs());
    if (std::string(outcome.printer.name) == "cover open") {
      EXPECT_TRUE(SaveOnTop(L"dunlith-not-ready.png"));
    }
    Press(window_, IDCANCEL);
    ASSERT_TRUE(program_->WaitForExit(5000));
    EXPECT_EQ(program_->ExitCode(), static_cast<DWORD>(outcome.exitCode));
    const auto received = printer.WaitForConnections(1, 5000);
    ASSERT_EQ(received.size(), 1u) << "the connection ended";
    EXPECT_EQ(received[0].size(), outcome.printed ? bytes : 0u);
  }
}


TEST_F(DunlithWindowTest, ARefusedConnectionIsToldAndTheWindowStays) {
  AddLdn(u"Shop 1", corvale::kPortEthernet, kLoopbackAddress, 1000);
  StartDunlith(L"Shop 1");
  const std::wstring refused = L"127.0.0.1:9100 refused the connection: no printer listens there.";
  EXPECT_TRUE(EndsWith(WaitForLastLine(refused), refused));
  EXPECT_LE(MillisecondsSince(started_), 1000 + MarginMs());
  EXPECT_TRUE(Enabled(window_, IDB_OPEN_DRAWER)) << "the drawer may still be tried";
  EXPECT_TRUE(SaveOnTop(L"dunlith-failed.png"));
  EXPECT_FALSE(program_->WaitForExit(3500)) << "a failure stays until it is closed";
  Press(window_, IDCANCEL);
  ASSERT_TRUE(program_->WaitForExit(5000));
  EXPECT_EQ(program_->ExitCode(), 1u);
}

TEST_F(DunlithWindowTest, ASilentPrinterIsToldWithinTheTimeOut) {
  LoopbackPrinter printer(LoopbackPrinter::Mode::kSilent);
  ASSERT_TRUE(printer.Listening());
  AddLdn(u"Quiet", corvale::kPortEthernet, kLoopbackAddress, 1500);
  StartDunlith(L"Quiet");
  const std::wstring silent = L"No printer answered at 127.0.0.1:9100 within 1500 ms.";
  EXPECT_TRUE(EndsWith(WaitForLastLine(silent), silent));
  // The wait's end may round down by a tick of the system's clock.
  EXPECT_GE(MillisecondsSince(launched_), 1500 - 20) << "the time-out was waited for";
  EXPECT_LE(MillisecondsSince(started_), 1500 + MarginMs());
  PostMessageW(window_, WM_CLOSE, 0, 0);  // as another program would close it
  ASSERT_TRUE(program_->WaitForExit(5000));
  EXPECT_EQ(program_->ExitCode(), 1u);
}

TEST_F(DunlithWindowTest, ClosingWhileSendingEndsAtOnceWithExitCode1) {
  LoopbackPrinter printer(LoopbackPrinter::Mode::kSilent);
  AddLdn(u"Quiet", corvale::kPortEthernet, kLoopbackAddress, 10000);
  StartDunlith(L"Quiet");
  EXPECT_FALSE(Enabled(window_, IDB_OPEN_DRAWER)) << "not while sending";
  const auto closing = std::chrono::steady_clock::now();
  Press(window_, IDCANCEL);
  ASSERT_TRUE(program_->WaitForExit(5000));
  EXPECT_LT(MillisecondsSince(closing), 5000);
  EXPECT_EQ(program_->ExitCode(), 1u);
}

TEST_F(DunlithWindowTest, AnUnknownLdnIsToldWithExitCode2HoweverTheWindowCloses) {
  const struct {
    const char* how;
    std::function<void(HWND)> close;
  } ways[] = {
      {"Close", [](HWND w) { Press(w, IDCANCEL); }},
      {"Escape", [](HWND w) {
         HWND button = GetDlgItem(w, IDCANCEL);
         PostMessageW(button, WM_KEYDOWN, VK_ESCAPE, 0);
         PostMessageW(button, WM_KEYUP, VK_ESCAPE, 0);
       }},
      {"close box", [](HWND w) { PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"WM_CLOSE", [](HWND w) { PostMessageW(w, WM_CLOSE, 0, 0); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.how);
    StartDunlith(L"\"No such till\"");
    EXPECT_EQ(ControlText(window_, IDE_REPORT), L"There is no LDN \"No such till\" under POSPrinter.");
    EXPECT_FALSE(Enabled(window_, IDB_OPEN_DRAWER));
    way.close(window_);
    ASSERT_TRUE(program_->WaitForExit(5000));
    EXPECT_EQ(program_->ExitCode(), 2u);
  }
}

TEST_F(DunlithWindowTest, OpenDrawerSendsThePulseOverTheSamePortAndReadsTheSwitchBeforeAndAfter) {
  PrinterCase opens = CaseNamed("ready");
  opens.drawerOpensOnPulse = true;
  LoopbackPrinter printer(opens);
  AddLdn(u"Till", corvale::kPortEthernet, kLoopbackAddress);
  StartDunlith(L"Till");
  ASSERT_EQ(printer.WaitForConnections(1, 15000).size(), 1u);
  WaitForLastLine(L"This window closes by itself in 3 seconds.");
  Press(window_, IDB_OPEN_DRAWER);
  const auto received = printer.WaitForConnections(2, 15000);
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1], (std::vector<std::uint8_t>{0x1B, 0x70, 0x00, 0x19, 0xFA}));
  const std::wstring report = WaitForLastLine(L"This window closes by itself in 3 seconds.");
  EXPECT_NE(report.find(L"\r\nSending the cash drawer pulse to 127.0.0.1:9100 ...\r\nSent 5 bytes to 127.0.0.1:9100.\r\n"
                        L"Drawer switch: low before the pulse, high after it.\r\n"),
            std::wstring::npos)
      << Utf8(report);
  ASSERT_TRUE(program_->WaitForExit(3000 + kMarginMs));
  EXPECT_EQ(program_->ExitCode(), 0u);
}

TEST_F(DunlithWindowTest, UsbNamesTheDeviceThatCannotBeOpened) {
  AddLdn(u"Usb till", corvale::kPortUsb, 0);
  {
    StartDunlith(L"Usb till");
    const std::wstring none = L"No USB printer is connected.";
    EXPECT_TRUE(EndsWith(WaitForLastLine(none), none));
    Press(window_, IDCANCEL);
    ASSERT_TRUE(program_->WaitForExit(5000));
    EXPECT_EQ(program_->ExitCode(), 1u);
  }
  WineUsbRegistration usb;
  const std::u16string path = usb.Plug("VID_0416&PID_5011", "DL9");
  StartDunlith(L"Usb till");
  const std::wstring start = L"The USB printer " + Wide(path) + L" could not be opened: ";
  const std::wstring report = WaitForReportWith(L"could not be opened: ");
  ASSERT_NE(report.find(L"\r\n"), std::wstring::npos) << Utf8(report);
  const std::wstring last = report.substr(report.rfind(L"\r\n") + 2);
  EXPECT_EQ(last.substr(0, start.size()), start) << Utf8(report);
  EXPECT_GT(last.size(), start.size() + 1) << "with the system's words";
  Press(window_, IDCANCEL);
  ASSERT_TRUE(program_->WaitForExit(5000));
  EXPECT_EQ(program_->ExitCode(), 1u);
}

// Run with LANG=zh_CN.UTF-8, which Wine turns into UI language 2052.
TEST_F(DunlithWindowTest, ChineseTexts) {
  if (GetUserDefaultUILanguage() != 2052) GTEST_SKIP() << "the UI language is not 2052";
  LoopbackPrinter printer(CaseNamed("ready"));
  AddLdn(u"Shop 1", corvale::kPortEthernet, kLoopbackAddress);
  StartDunlith(L"Shop 1");
  const auto received = printer.WaitForConnections(1, 15000);
  ASSERT_EQ(received.size(), 1u);
  const std::wstring report = WaitForLastLine(L"本窗口将在 3 秒后自动关闭。");
  EXPECT_NE(report.find(L"\r\n打印机：TM-T88V，固件 30.01 ESC/POS。\r\n打印机在线。\r\n钱箱开关：低。\r\n已向 127.0.0.1:9100 发送 " +
                        std::to_wstring(received[0].size()) + L" 字节。"),
            std::wstring::npos)
      << Utf8(report);
  EXPECT_EQ(ControlText(window_, IDCANCEL), L"关闭");
  EXPECT_EQ(ControlText(window_, IDB_OPEN_DRAWER), L"打开钱箱");
  EXPECT_EQ(GetWindowTextLengthW(window_), 7) << "the caption stays \"Dunlith\"";
  EXPECT_TRUE(SaveOnTop(L"dunlith-sent-zh.png"));
  Press(window_, IDCANCEL);
  ASSERT_TRUE(program_->WaitForExit(5000));
  EXPECT_EQ(program_->ExitCode(), 0u);
}

}  // namespace
}  // namespace dunlith::testing
