// End to end under Wine: Corvale's "Test Printer" on an LDN starts the shipped Dunlith.exe from
// Corvale's folder, and the printer that the test plays on 127.0.0.1:9100 receives the receipt
// with that LDN's name.
#include <gtest/gtest.h>

#include "loopback_printer.h"

#include <memory>
#include <string>

#include "opos_config/resources/resource.h"
#include "opos_test/resources/resource.h"
#include "platform/system_info.h"
#include "platform/win32_registry.h"
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

class CorvaleStartsDunlith : public ::testing::Test {
 protected:
  CorvaleStartsDunlith() : store_(registry_, system_) {}

  void SetUp() override {
    Clear();
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    scratch_ = std::wstring(temp) + L"corvale-dunlith-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(scratch_.c_str(), nullptr);
    for (const wchar_t* program : {L"Corvale.exe", L"Dunlith.exe"}) {
      ASSERT_TRUE(CopyFileW((ProgramsUnderTestDirectory() + L"\\" + program).c_str(),
                            (scratch_ + L"\\" + program).c_str(), FALSE))
          << Utf8(program);
    }
  }

  void TearDown() override {
    corvale_.reset();
    if (HWND left = FindWindowW(L"#32770", L"Dunlith")) PostMessageW(left, WM_CLOSE, 0, 0);
    for (int i = 0; i < 100; ++i) {
      if (DeleteFileW((scratch_ + L"\\Dunlith.exe").c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) break;
      Sleep(50);
    }
    DeleteFileW((scratch_ + L"\\Corvale.exe").c_str());
    RemoveDirectoryW(scratch_.c_str());
    Clear();
  }

  void Clear() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kPrinterClass)).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kDrawerClass)).c_str());
  }

  corvale::Win32Registry registry_;
  corvale::Win32SystemInfo system_;
  corvale::OposStore store_;
  std::wstring scratch_;
  std::unique_ptr<Program> corvale_;
};

TEST_F(CorvaleStartsDunlith, TestPrinterPrintsTheReceiptOfTheSelectedLdn) {
  LoopbackPrinter printer(LoopbackPrinter::Mode::kReading);
  ASSERT_TRUE(printer.Listening());
  for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
    store_.EnsureClassKeys(*deviceClass);
    ASSERT_EQ(store_.CreateLDN(u"Shop 1", *deviceClass), corvale::kLdnCreated);
    corvale::LDNRecord record(store_, u"Shop 1", *deviceClass);
    record.PortType = corvale::kPortEthernet;
    record.PortSetting = 0x7F000001;  // 127.0.0.1
    record.CharCodePage = 1252;
    record.DotLineWidth = 640;
    ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
  }

  corvale_ = std::make_unique<Program>();
  ASSERT_TRUE(corvale_->Start(scratch_ + L"\\Corvale.exe", scratch_, L"Corvale"));
  HWND main = corvale_->window();
  Pending click = Click(main, IDB_TEST_PRINTER);
  EXPECT_TRUE(AnswerMessageBoxes(corvale_->processId(), L"Corvale", click, {main}).empty()) << "no message";

  const auto received = printer.WaitForConnections(1, 20000);
  ASSERT_EQ(received.size(), 1u) << "Dunlith sent nothing";
  const std::string bytes = AsText(received[0]);
  EXPECT_NE(bytes.find("\nLDN:  Shop 1\n"), std::string::npos) << bytes;
  ReceiptContent content;
  content.ldnName = u"Shop 1";
  content.portWords = "127.0.0.1:9100";
  const std::size_t time = bytes.find("\nTime: ");
  ASSERT_NE(time, std::string::npos);
  content.printedAt = bytes.substr(time + 7, 19);
  content.codePage = 1252;
  content.dotLineWidth = 640;
  EXPECT_EQ(HexAndText(received[0]), HexAndText(BuildReceipt(content)));

  // Dunlith's window says so, then closes by itself.
  HWND dunlith = nullptr;
  for (int i = 0; i < 200 && dunlith == nullptr; ++i) {
    dunlith = FindWindowW(L"#32770", L"Dunlith");
    if (dunlith == nullptr) Sleep(50);
  }
  ASSERT_NE(dunlith, nullptr);
  std::wstring report;
  for (int i = 0; i < 200 && report.find(L"Sent ") == std::wstring::npos && IsWindow(dunlith); ++i) {
    report = ControlText(dunlith, IDE_REPORT);
    Sleep(20);
  }
  EXPECT_NE(report.find(L"\r\nSent " + std::to_wstring(received[0].size()) + L" bytes to 127.0.0.1:9100.\r\n"),
            std::wstring::npos)
      << Utf8(report);
  for (int i = 0; i < 150 && IsWindow(dunlith); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(dunlith)) << "it closes by itself after a success";
}

}  // namespace
}  // namespace dunlith::testing
