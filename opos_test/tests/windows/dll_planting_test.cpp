// Dunlith runs elevated when Corvale starts it, often from a folder that anybody may write to: a
// DLL planted there under the name of a system DLL that Dunlith loads at run time must never be
// loaded, even when Wine is told to prefer native copies of those DLLs.
#include <gtest/gtest.h>

#include "loopback_printer.h"

#include <memory>
#include <string>

#include "opos_test/resources/resource.h"
#include "platform/system_info.h"
#include "platform/win32_registry.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"
#include "window_driver.h"

namespace dunlith::testing {
namespace {

using namespace pos::testing;
using corvale::kDrawerClass;
using corvale::kPrinterClass;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class DllPlanting : public ::testing::Test {
 protected:
  DllPlanting() : store_(registry_, system_) {}

  void SetUp() override {
    Clear();
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    scratch_ = std::wstring(temp) + L"dunlith-planting-test-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(scratch_.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((ProgramsUnderTestDirectory() + L"\\Dunlith.exe").c_str(),
                          (scratch_ + L"\\Dunlith.exe").c_str(), FALSE));
    for (const wchar_t* name : kPlanted) {
      ASSERT_TRUE(CopyFileW((ThisProgramsDirectory() + L"\\planted\\planted.dll").c_str(),
                            (scratch_ + L"\\" + name).c_str(), FALSE));
    }
    // Native copies first, for these two programs only: a DLL of that name that is found
    // anywhere on the search path is taken, as Windows takes any DLL that is not a known one.
    for (const wchar_t* program : kPrograms) {
      RemoveOverrides(program);
      HKEY key = nullptr;
      ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, (kAppDefaults + program + L"\\DllOverrides").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
                ERROR_SUCCESS);
      for (const wchar_t* name : {L"ws2_32", L"setupapi"}) {
        const std::wstring order = L"native,builtin";
        RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(order.c_str()),
                       static_cast<DWORD>((order.size() + 1) * sizeof(wchar_t)));
      }
      RegCloseKey(key);
    }
  }

  static void RemoveOverrides(const wchar_t* program) {
    RegDeleteTreeW(HKEY_CURRENT_USER, (kAppDefaults + program).c_str());
  }

  void TearDown() override {
    program_.reset();
    for (const wchar_t* program : kPrograms) RemoveOverrides(program);
    for (const wchar_t* name : kPlanted) {
      DeleteFileW((scratch_ + L"\\" + name).c_str());
      DeleteFileW((scratch_ + L"\\" + name + L".loaded").c_str());
    }
    DeleteFileW((scratch_ + L"\\Dunlith.exe").c_str());
    RemoveDirectoryW(scratch_.c_str());
    Clear();
  }

  void Clear() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kPrinterClass)).c_str());
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(store_.ClassKeyPath(kDrawerClass)).c_str());
  }

  void AddLdn(const std::u16string& name, std::uint32_t portType, std::uint32_t portSetting) {
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      store_.EnsureClassKeys(*deviceClass);
      ASSERT_EQ(store_.CreateLDN(name, *deviceClass), corvale::kLdnCreated);
      corvale::LDNRecord record(store_, name, *deviceClass);
      record.PortType = portType;
      record.PortSetting = portSetting;
      ASSERT_TRUE(record.WriteLDN(store_, record.LDNName, *deviceClass));
    }
  }

  // Runs Dunlith from the scratch folder, which is also its current directory, until the report
  // holds |outcome|.
  std::wstring Run(const std::wstring& ldn, const std::wstring& outcome) {
    program_ = std::make_unique<Program>();
    EXPECT_TRUE(program_->Start(scratch_ + L"\\Dunlith.exe", scratch_, L"Dunlith", ldn));
    std::wstring report;
    for (int i = 0; i < 500 && report.find(outcome) == std::wstring::npos; ++i) {
      Sleep(20);
      report = ControlText(program_->window(), IDE_REPORT);
    }
    program_.reset();
    return report;
  }

  static constexpr const wchar_t* kPlanted[] = {L"ws2_32.dll", L"setupapi.dll"};
  static constexpr const wchar_t* kPrograms[] = {L"Dunlith.exe", L"bare_name_loader.exe"};
  static inline const std::wstring kAppDefaults = L"Software\\Wine\\AppDefaults\\";

  corvale::Win32Registry registry_;
  corvale::Win32SystemInfo system_;
  corvale::OposStore store_;
  std::wstring scratch_;
  std::unique_ptr<Program> program_;
};

// The control: a program beside the planted DLLs that loads them by their bare names takes them,
// and they leave their marks.
TEST_F(DllPlanting, AProgramThatLoadsByBareNameTakesThePlantedCopies) {
  const std::wstring loader = scratch_ + L"\\bare_name_loader.exe";
  ASSERT_TRUE(CopyFileW((ThisProgramsDirectory() + L"\\planted\\dunlith_bare_name_loader.exe").c_str(),
                        loader.c_str(), FALSE));
  for (const wchar_t* name : kPlanted) {
    SCOPED_TRACE(Utf8(name));
    std::wstring commandLine = L"\"" + loader + L"\" " + name;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(loader.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               scratch_.c_str(), &startup, &process));
    WaitForSingleObject(process.hProcess, 20000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_TRUE(Exists(scratch_ + L"\\" + name + L".loaded"));
  }
  DeleteFileW(loader.c_str());
}

TEST_F(DllPlanting, DunlithLoadsWinsockAndSetupApiOnlyFromTheSystemDirectory) {
  LoopbackPrinter printer(LoopbackPrinter::Mode::kReading);
  ASSERT_TRUE(printer.Listening());
  AddLdn(u"Net", corvale::kPortEthernet, 0x7F000001);
  AddLdn(u"Usb", corvale::kPortUsb, 0);
  const std::wstring sent = Run(L"Net", L"Sent ");
  EXPECT_NE(sent.find(L"\r\nSent "), std::wstring::npos) << Utf8(sent);
  const std::wstring usb = Run(L"Usb", L"USB printer");
  EXPECT_NE(usb.find(L"\r\nNo USB printer is connected."), std::wstring::npos) << Utf8(usb);
  for (const wchar_t* name : kPlanted) {
    EXPECT_FALSE(Exists(scratch_ + L"\\" + name + L".loaded")) << Utf8(name) << " was loaded from Dunlith's folder";
  }
}

}  // namespace
}  // namespace dunlith::testing
