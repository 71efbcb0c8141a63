// A serial printer for real under Wine: COM5 is a Linux pseudo-terminal joined to another, COM6,
// on which the test plays an ESC/POS printer (with_serial_printer.sh sets them up). The Win32
// adapter and the shipped Dunlith.exe write to COM5 and read the printer's answers from it; the
// speed they set stays on the terminal and is read back through the port.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "escpos_printer.h"
#include "opos_test/resources/resource.h"
#include "printer_cases.h"
#include "platform/system_info.h"
#include "platform/win32_registry.h"
#include "ports/printer_status.h"
#include "ports/win32_system.h"
#include "ports/win32_transports.h"
#include "receipt/receipt.h"
#include "receipt_bytes.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"
#include "window_driver.h"

namespace dunlith::testing {
namespace {

using namespace pos::testing;
using corvale::kDrawerClass;
using corvale::kPrinterClass;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

std::wstring Environment(const wchar_t* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return {};
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(name, value.data(), size));
  return value;
}

// The printer at the other end of the pair: it reads what comes, answers as its case says and
// keeps what it would print.
class SerialPrinter {
 public:
  SerialPrinter(unsigned number, const PrinterCase& behaviour) : model_(behaviour) {
    const std::wstring name = Wide(SerialDeviceName(number));
    port_ = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (port_ == INVALID_HANDLE_VALUE) return;
    // A read returns with the first bytes that come, or after 50 ms with none, so that the
    // printer sees that it is to stop.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = 50;
    timeouts.WriteTotalTimeoutConstant = 2000;
    SetCommTimeouts(port_, &timeouts);
    reader_ = std::thread([this] { Serve(); });
  }
  SerialPrinter(const SerialPrinter&) = delete;
  SerialPrinter& operator=(const SerialPrinter&) = delete;
  ~SerialPrinter() {
    stopping_ = true;
    if (reader_.joinable()) reader_.join();
    if (port_ != INVALID_HANDLE_VALUE) CloseHandle(port_);
  }

  bool Open() const { return port_ != INVALID_HANDLE_VALUE; }

  // What it printed once that is |size| bytes, or as it is after |milliseconds|.
  Bytes Printed(std::size_t size, DWORD milliseconds = 10000) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (model_.printed().size() >= size || GetTickCount64() >= end) return model_.printed();
      }
      Sleep(20);
    }
  }

  std::vector<std::string> Requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return model_.requests();
  }

 private:
  void Serve() {
    while (!stopping_) {
      std::uint8_t chunk[4096];
      DWORD got = 0;
      if (!ReadFile(port_, chunk, sizeof(chunk), &got, nullptr)) return;
      if (got == 0) continue;
      const auto received = std::chrono::steady_clock::now();
      std::vector<Reply> replies;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        replies = model_.Receive(Stream(chunk, chunk + got));
      }
      for (const Reply& reply : replies) {
        std::this_thread::sleep_until(received + std::chrono::milliseconds(reply.delayMs));
        DWORD written = 0;
        WriteFile(port_, reply.bytes.data(), static_cast<DWORD>(reply.bytes.size()), &written, nullptr);
      }
    }
  }

  HANDLE port_ = INVALID_HANDLE_VALUE;
  EscPosPrinter model_;
  std::mutex mutex_;
  std::atomic<bool> stopping_{false};
  std::thread reader_;
};

class SerialPrinterTest : public ::testing::Test {
 protected:
  SerialPrinterTest() : store_(registry_, system_) {}

  void SetUp() override {
    const std::wstring port = Environment(L"DUNLITH_SERIAL_PORT");
    const std::wstring printerPort = Environment(L"DUNLITH_SERIAL_PRINTER_PORT");
    if (port.empty() || printerPort.empty()) GTEST_SKIP() << "needs the serial printer of with_serial_printer.sh";
    port_ = static_cast<unsigned>(std::wcstoul(port.c_str(), nullptr, 10));
    printerPort_ = static_cast<unsigned>(std::wcstoul(printerPort.c_str(), nullptr, 10));
    Clear();
  }

  // The printer at the other end, answering as |behaviour| says, for the rest of the test.
  SerialPrinter& PlayPrinter(const PrinterCase& behaviour) {
    printer_.reset();
    printer_ = std::make_unique<SerialPrinter>(printerPort_, behaviour);
    EXPECT_TRUE(printer_->Open()) << "COM" << printerPort_ << " did not open: " << GetLastError();
    return *printer_;
  }

  void AddSerialLdn(const std::u16string& name, std::uint32_t setting, std::uint32_t timeOut = 3000,
                    std::uint32_t codePage = 437, std::uint32_t dotLineWidth = 576) {
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      store_.EnsureClassKeys(*deviceClass);
      ASSERT_EQ(store_.CreateLDN(name, *deviceClass), corvale::kLdnCreated);
      corvale::LDNRecord record(store_, name, *deviceClass);
      record.PortType = corvale::kPortSerial;
      record.PortSetting = setting;
      record.TimeOut = timeOut;
      record.CharCodePage = codePage;
      record.DotLineWidth = dotLineWidth;
      ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
    }
  }
  void TearDown() override {
    printer_.reset();
    Clear();
  }
  void Clear() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kPrinterClass)).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kDrawerClass)).c_str());
  }

  std::wstring PortName() const { return Wide(SerialDeviceName(port_)); }

  // The port's settings as the terminal holds them now.
  DCB Settings() {
    DCB settings{};
    settings.DCBlength = sizeof(settings);
    HANDLE port = CreateFileW(PortName().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
    if (port == INVALID_HANDLE_VALUE) return settings;
    EXPECT_TRUE(GetCommState(port, &settings));
    CloseHandle(port);
    return settings;
  }

  // Sets a speed that no test expects, so that a speed read back is the one the test caused.
  void SeedSpeed(DWORD baud) {
    HANDLE port = CreateFileW(PortName().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(port, INVALID_HANDLE_VALUE) << GetLastError();
    DCB settings{};
    settings.DCBlength = sizeof(settings);
    GetCommState(port, &settings);
    settings.BaudRate = baud;
    settings.ByteSize = 7;
    settings.Parity = EVENPARITY;
    EXPECT_TRUE(SetCommState(port, &settings));
    CloseHandle(port);
    ASSERT_EQ(Settings().BaudRate, baud);
  }

  corvale::Win32Registry registry_;
  corvale::Win32SystemInfo system_;
  corvale::OposStore store_;
  unsigned port_ = 0;
  unsigned printerPort_ = 0;
  std::unique_ptr<SerialPrinter> printer_;
};

TEST_F(SerialPrinterTest, TheAdapterWritesAtTheSpeedItSetAndReadsTheAnswers) {
  SerialPrinter& printer = PlayPrinter(CaseNamed("near end"));
  SeedSpeed(9600);
  Win32SerialPorts serial;
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  ASSERT_EQ(serial.Open(port_, 115200, 2000, &connection, &error), SerialEnd::kOpened) << error.code;
  Bytes got;
  const ReadResult quiet = connection->Read(&got, 300);
  EXPECT_EQ(quiet.end, ReadEnd::kNothing);
  EXPECT_GE(quiet.waitedMs, 250u) << "the read waited";
  for (std::uint8_t n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    ASSERT_EQ(connection->Write(StatusRequest(n), 1000).end, WriteEnd::kComplete);
    got.clear();
    const ReadResult answer = connection->Read(&got, 3000);
    EXPECT_EQ(answer.end, ReadEnd::kData);
    EXPECT_EQ(got, Bytes{status::kNearEnd[n - 1]});
    EXPECT_LT(answer.waitedMs, 2000u) << "a read returns once something came";
  }
  const Bytes data = {0x1B, 0x40, 'C', 'O', 'M', 0x0A};
  const WriteResult written = connection->Write(data, 2000);
  EXPECT_EQ(written.end, WriteEnd::kComplete);
  EXPECT_EQ(written.written, data.size());
  connection.reset();
  EXPECT_EQ(printer.Printed(data.size()), data);
  const DCB settings = Settings();
  EXPECT_EQ(settings.BaudRate, 115200u);
  EXPECT_EQ(settings.ByteSize, 8);
  EXPECT_EQ(settings.Parity, NOPARITY);
  EXPECT_EQ(settings.StopBits, ONESTOPBIT);
}

TEST_F(SerialPrinterTest, DunlithPrintsTheReceiptAtTheLdnsSpeed) {
  SerialPrinter& printer = PlayPrinter(CaseNamed("ready"));
  SeedSpeed(9600);
  AddSerialLdn(u"Counter 2", (3u << 8) | port_, 3000, 866, 640);  // 38400 baud

  Program dunlith;
  ASSERT_TRUE(dunlith.Start(ProgramsUnderTestDirectory() + L"\\Dunlith.exe", ProgramsUnderTestDirectory(), L"Dunlith",
                            L"Counter 2"));
  ASSERT_TRUE(dunlith.WaitForExit(20000)) << Utf8(ControlText(dunlith.window(), IDE_REPORT));
  EXPECT_EQ(dunlith.ExitCode(), 0u);

  const std::string receipt = AsText(printer.Printed(1));
  ReceiptContent content;
  content.ldnName = u"Counter 2";
  content.portWords = "COM" + std::to_string(port_) + " at 38400";
  const std::size_t time = receipt.find("\nTime: ");
  ASSERT_NE(time, std::string::npos) << receipt;
  content.printedAt = receipt.substr(time + 7, 19);
  content.codePage = 866;
  content.dotLineWidth = 640;
  EXPECT_EQ(HexAndText(printer.Printed(BuildReceipt(content).size())), HexAndText(BuildReceipt(content)));
  EXPECT_EQ(printer.Requests(), (std::vector<std::string>{"DLE EOT 1", "DLE EOT 2", "DLE EOT 3", "DLE EOT 4", "GS I 67",
                                                           "GS I 65", "DLE EOT 1", "DLE EOT 2", "DLE EOT 3", "DLE EOT 4"}));
  EXPECT_EQ(Settings().BaudRate, 38400u) << "the speed Dunlith set stays on the terminal";
}

// What the window says, the exit code and whether the receipt came, for a printer that is ready,
// one whose cover is open and one that answers nothing, over the serial pair.
TEST_F(SerialPrinterTest, DunlithAsksTheSerialPrinterHowItIs) {
  const std::string digits = std::to_string(port_);
  const std::u16string port = u"COM" + std::u16string(digits.begin(), digits.end());
  AddSerialLdn(u"Counter 3", (2u << 8) | port_, 1500);  // 19200 baud
  for (const char* name : {"ready", "cover open", "silent"}) {
    SCOPED_TRACE(name);
    PrinterOutcome outcome;
    for (const PrinterOutcome& o : PrinterOutcomes()) {
      if (std::string(o.printer.name) == name) outcome = o;
    }
    SerialPrinter& printer = PlayPrinter(outcome.printer);
    Program dunlith;
    ASSERT_TRUE(dunlith.Start(ProgramsUnderTestDirectory() + L"\\Dunlith.exe", ProgramsUnderTestDirectory(),
                              L"Dunlith", L"Counter 3"));
    const std::wstring last = Wide(ExpectedLines({outcome.lines.back()}, port, 0));
    std::wstring report;
    const ULONGLONG end = GetTickCount64() + 15000;
    while (GetTickCount64() < end && IsWindow(dunlith.window())) {
      report = ControlText(dunlith.window(), IDE_REPORT);
      if (report.size() >= last.size() && report.compare(report.size() - last.size(), last.size(), last) == 0) break;
      Sleep(20);
    }
    // The announcement names the receipt's size: "... (1234 bytes) to ...".
    const std::size_t open = report.find(L" (");
    ASSERT_NE(open, std::wstring::npos) << Utf8(report);
    const std::size_t bytes = std::wcstoul(report.c_str() + open + 2, nullptr, 10);
    ASSERT_NE(report.find(L"\r\n"), std::wstring::npos) << Utf8(report);
    EXPECT_EQ(Utf8(report.substr(report.find(L"\r\n") + 2)), Utf8(Wide(ExpectedLines(outcome.lines, port, bytes))));
    const Bytes printed = printer.Printed(bytes, outcome.printed ? 10000 : 500);
    EXPECT_EQ(printed.size(), outcome.printed ? bytes : 0u);
    if (outcome.exitCode != 0) Press(dunlith.window(), IDCANCEL);
    ASSERT_TRUE(dunlith.WaitForExit(10000));
    EXPECT_EQ(dunlith.ExitCode(), static_cast<DWORD>(outcome.exitCode));
  }
}

// Windows refuses a second open of a COM port that a program holds with ERROR_ACCESS_DENIED;
// Wine opens it all the same, so the refusal a test can bring about here is a port that is not
// there. The stand-ins play the held port.
TEST_F(SerialPrinterTest, APortThatDoesNotOpenIsToldWithTheSystemsWords) {
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    store_.EnsureClassKeys(*deviceClass);
    ASSERT_EQ(store_.CreateLDN(u"Elsewhere", *deviceClass), corvale::kLdnCreated);
    corvale::LDNRecord record(store_, u"Elsewhere", *deviceClass);
    record.PortType = corvale::kPortSerial;
    record.PortSetting = (1u << 8) | 231u;
    ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
  }
  Program dunlith;
  ASSERT_TRUE(dunlith.Start(ProgramsUnderTestDirectory() + L"\\Dunlith.exe", ProgramsUnderTestDirectory(), L"Dunlith",
                            L"Elsewhere"));
  std::wstring words = Wide(SystemError(ERROR_FILE_NOT_FOUND).text);
  while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) words.pop_back();
  ASSERT_FALSE(words.empty());
  std::wstring report;
  const ULONGLONG end = GetTickCount64() + 10000;
  while (GetTickCount64() < end && report.find(L"COM231 could not") == std::wstring::npos) {
    Sleep(50);
    report = ControlText(dunlith.window(), IDE_REPORT);
  }
  ASSERT_NE(report.find(L"\r\n"), std::wstring::npos) << Utf8(report);
  EXPECT_EQ(report.substr(report.rfind(L"\r\n") + 2), L"COM231 could not be opened: " + words);
  Press(dunlith.window(), IDCANCEL);
  ASSERT_TRUE(dunlith.WaitForExit(5000));
  EXPECT_EQ(dunlith.ExitCode(), 1u);
}

}  // namespace
}  // namespace dunlith::testing
