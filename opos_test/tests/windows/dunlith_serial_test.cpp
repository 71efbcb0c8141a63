// A serial printer for real under Wine: COM5 is a Linux pseudo-terminal whose output lands in a
// file (with_serial_printer.sh sets it up). The Win32 adapter and the shipped Dunlith.exe write
// to it; the speed they set stays on the terminal and is read back through the port.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "opos_test/resources/resource.h"
#include "platform/system_info.h"
#include "platform/win32_registry.h"
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

class SerialPrinterTest : public ::testing::Test {
 protected:
  SerialPrinterTest() : store_(registry_, system_) {}

  void SetUp() override {
    capture_ = Environment(L"DUNLITH_SERIAL_CAPTURE");
    const std::wstring port = Environment(L"DUNLITH_SERIAL_PORT");
    if (capture_.empty() || port.empty()) GTEST_SKIP() << "needs the serial printer of with_serial_printer.sh";
    port_ = static_cast<unsigned>(std::wcstoul(port.c_str(), nullptr, 10));
    Clear();
  }
  void TearDown() override { Clear(); }
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

  // The capture once it holds |size| bytes, or as it is after |milliseconds|.
  Bytes Captured(std::size_t size, DWORD milliseconds = 10000) {
    Bytes all;
    const ULONGLONG end = GetTickCount64() + milliseconds;
    do {
      all.clear();
      HANDLE file = CreateFileW(capture_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
      if (file != INVALID_HANDLE_VALUE) {
        std::uint8_t chunk[4096];
        DWORD read = 0;
        while (ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) all.insert(all.end(), chunk, chunk + read);
        CloseHandle(file);
      }
      if (all.size() >= size) break;
      Sleep(50);
    } while (GetTickCount64() < end);
    return all;
  }

  corvale::Win32Registry registry_;
  corvale::Win32SystemInfo system_;
  corvale::OposStore store_;
  std::wstring capture_;
  unsigned port_ = 0;
};

TEST_F(SerialPrinterTest, TheAdapterWritesAtTheSpeedItSet) {
  SeedSpeed(9600);
  const std::size_t before = Captured(0, 0).size();
  Win32SerialPorts serial;
  std::unique_ptr<PrinterConnection> connection;
  PortError error;
  ASSERT_EQ(serial.Open(port_, 115200, 2000, &connection, &error), SerialEnd::kOpened) << error.code;
  const Bytes data = {0x1B, 0x40, 'C', 'O', 'M', 0x0A};
  const WriteResult written = connection->Write(data, 2000);
  EXPECT_EQ(written.end, WriteEnd::kComplete);
  EXPECT_EQ(written.written, data.size());
  connection.reset();
  const Bytes all = Captured(before + data.size());
  ASSERT_EQ(all.size(), before + data.size());
  EXPECT_EQ(Bytes(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()), data);
  const DCB settings = Settings();
  EXPECT_EQ(settings.BaudRate, 115200u);
  EXPECT_EQ(settings.ByteSize, 8);
  EXPECT_EQ(settings.Parity, NOPARITY);
  EXPECT_EQ(settings.StopBits, ONESTOPBIT);
}

TEST_F(SerialPrinterTest, DunlithPrintsTheReceiptAtTheLdnsSpeed) {
  SeedSpeed(9600);
  const std::size_t before = Captured(0, 0).size();
  const std::uint32_t setting = (3u << 8) | port_;  // 38400 baud
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    store_.EnsureClassKeys(*deviceClass);
    ASSERT_EQ(store_.CreateLDN(u"Counter 2", *deviceClass), corvale::kLdnCreated);
    corvale::LDNRecord record(store_, u"Counter 2", *deviceClass);
    record.PortType = corvale::kPortSerial;
    record.PortSetting = setting;
    record.TimeOut = 3000;
    record.CharCodePage = 866;
    record.DotLineWidth = 640;
    ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
  }

  Program dunlith;
  ASSERT_TRUE(dunlith.Start(ProgramsUnderTestDirectory() + L"\\Dunlith.exe", ProgramsUnderTestDirectory(), L"Dunlith",
                            L"Counter 2"));
  ASSERT_TRUE(dunlith.WaitForExit(15000)) << Utf8(ControlText(dunlith.window(), IDE_REPORT));
  EXPECT_EQ(dunlith.ExitCode(), 0u);

  const Bytes all = Captured(before + 1);
  const std::string receipt = AsText(Bytes(all.begin() + static_cast<std::ptrdiff_t>(before), all.end()));
  ReceiptContent content;
  content.ldnName = u"Counter 2";
  content.portWords = "COM" + std::to_string(port_) + " at 38400";
  const std::size_t time = receipt.find("\nTime: ");
  ASSERT_NE(time, std::string::npos) << receipt;
  content.printedAt = receipt.substr(time + 7, 19);
  content.codePage = 866;
  content.dotLineWidth = 640;
  const Bytes whole = Captured(before + BuildReceipt(content).size());
  EXPECT_EQ(HexAndText(Bytes(whole.begin() + static_cast<std::ptrdiff_t>(before), whole.end())),
            HexAndText(BuildReceipt(content)));
  EXPECT_EQ(Settings().BaudRate, 38400u) << "the speed Dunlith set stays on the terminal";
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
