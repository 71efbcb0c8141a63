// The real Corvale.exe run from the command line under Wine, as a deployment script runs it, with
// the real registry behind it and its output redirected. The 32-bit configurations run the shipped
// program.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "console_run.h"
#include "platform/system_info.h"
#include "platform/win32_registry.h"
#include "registry_fixture.h"
#include "store/ldn_record.h"
#include "store/opos_store.h"
#include "window_driver.h"

namespace corvale::testing {
namespace {

using namespace pos::testing;

using ::testing::HasSubstr;

std::wstring Wide(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

class CorvaleCommandLineTest : public ::testing::Test {
 protected:
  CorvaleCommandLineTest() : store_(registry_, system_), seed_(registry_) {}

  void SetUp() override {
    Clear();
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    scratch_ = std::wstring(temp) + L"corvale-cli-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(scratch_.c_str(), nullptr);
  }
  void TearDown() override {
    Clear();
    for (const wchar_t* file : {L"\\tills.ini", L"\\bad.ini", L"\\foreign.ini"}) DeleteFileW((scratch_ + file).c_str());
    RemoveDirectoryW(scratch_.c_str());
  }

  // The OPOS root where the store finds it on this machine.
  std::u16string Root() {
    const std::u16string printerClass = store_.ClassKeyPath(kPrinterClass);
    return printerClass.substr(0, printerClass.rfind(u"\\ServiceOPOS\\"));
  }
  void Clear() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, Wide(Root()).c_str()); }

  // An LDN as New makes it and Apply sets it.
  void MakeLdn(const std::u16string& name, std::uint32_t portType, std::uint32_t portSetting, std::uint32_t timeOut,
               std::uint32_t effects) {
    // The class keys first, a key at a time, as Corvale's start-up makes them: Wine's WoW64 puts a
    // path of several new keys below SOFTWARE\WOW6432Node one WOW6432Node too deep.
    store_.EnsureClassKeys(kPrinterClass);
    store_.EnsureClassKeys(kDrawerClass);
    for (const std::u16string* deviceClass : {&kPrinterClass, &kDrawerClass}) {
      ASSERT_EQ(store_.CreateLDN(name, *deviceClass), kLdnCreated);
      LDNRecord record(store_, name, *deviceClass);
      record.PortType = portType;
      record.PortSetting = portSetting;
      record.TimeOut = timeOut;
      record.Effects = effects;
      ASSERT_TRUE(record.WriteLDN(store_, record.KeyName, *deviceClass));
    }
  }

  RunOutcome Run(const std::wstring& parameters) {
    return RunRedirected(ProgramsUnderTestDirectory() + L"\\Corvale.exe", scratch_, parameters);
  }
  void PutFile(const std::wstring& name, const std::string& bytes) {
    HANDLE file = CreateFileW((scratch_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
  }
  std::string Everything() { return seed_.Snapshot(Root()); }

  Win32Registry registry_;
  Win32SystemInfo system_;
  OposStore store_;
  RegistrySeed seed_;
  std::wstring scratch_;
};

TEST_F(CorvaleCommandLineTest, ExportWipeImportGivesBackTheSameRegistryValuesAndASecondImportChangesNothing) {
  MakeLdn(u"Shop 1", kPortSerial, 3 | 2 << 8, 1000, 2);
  MakeLdn(u"收银台 2", kPortEthernet, 0xC0A80164, 3000, 7);
  MakeLdn(u"Kitchen", kPortUsb, 0, 10000, 10);
  const std::string before = LdnsView(seed_, store_);

  RunOutcome run = Run(L"/export tills.ini /quiet");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output, "Wrote 3 LDNs to \"tills.ini\".\r\n");
  Clear();
  run = Run(L"/import tills.ini /quiet");
  ASSERT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Read \"tills.ini\": 3 made, 0 changed, 0 unchanged."));
  EXPECT_EQ(LdnsView(seed_, store_), before);

  const std::string once = Everything();
  run = Run(L"/import tills.ini /quiet");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_THAT(run.output, HasSubstr("Read \"tills.ini\": 0 made, 0 changed, 3 unchanged."));
  EXPECT_EQ(Everything(), once);
}

TEST_F(CorvaleCommandLineTest, AnImportWithOneWrongLineWritesNothing) {
  MakeLdn(u"Shop 1", kPortSerial, 3 | 2 << 8, 1000, 2);
  PutFile(L"bad.ini", "[Shop 1]\r\nTimeOut = 2000\r\n[Kitchen]\r\nPort = USB\r\n[Bar]\r\nPort = COM3 at 12345\r\n");
  const std::string before = Everything();
  const RunOutcome run = Run(L"/import bad.ini /quiet");
  EXPECT_EQ(run.exitCode, 4u) << run.output;
  EXPECT_EQ(run.output,
            "\"bad.ini\", line 6: Port \"COM3 at 12345\" is not USB, COMn at 9600, 19200, 38400 or 115200, or an IPv4 "
            "address. Nothing was written.\r\n");
  EXPECT_EQ(Everything(), before);
}

TEST_F(CorvaleCommandLineTest, AnLdnOfAnotherProgramInTheFileIsRefused) {
  const std::u16string printerClass = store_.ClassKeyPath(kPrinterClass);
  seed_.Dword(printerClass + u"\\TheirKey", u"PortType", 1);
  seed_.Sz(printerClass, u"Their till", u"TheirKey");
  PutFile(L"foreign.ini", "[Mine]\nPort = USB\n[their TILL]\nPort = 10.0.0.1\n");
  const std::string before = Everything();
  const RunOutcome run = Run(L"/import foreign.ini /quiet");
  EXPECT_EQ(run.exitCode, 4u) << run.output;
  EXPECT_THAT(run.output, HasSubstr("\"foreign.ini\", line 3: the LDN \"their TILL\" exists under POSPrinter but was not "
                                    "made by Corvale. Nothing was written."));
  EXPECT_EQ(Everything(), before);
}

TEST_F(CorvaleCommandLineTest, FileNamesWithBlanksAndChineseLongerThanMaxPath) {
  MakeLdn(u"Shop 1", kPortUsb, 0, 1000, 2);
  const std::wstring deep = scratch_ + L"\\收银台 settings\\" + std::wstring(120, L'a') + L"\\" + std::wstring(120, L'b');
  for (std::size_t i = scratch_.size() + 1; i <= deep.size(); ++i) {
    if (i == deep.size() || deep[i] == L'\\') CreateDirectoryW((L"\\\\?\\" + deep.substr(0, i)).c_str(), nullptr);
  }
  const std::wstring file = deep + L"\\till 1.ini";
  ASSERT_GT(file.size(), static_cast<std::size_t>(MAX_PATH));
  RunOutcome run = Run(L"/export \"" + file + L"\" /quiet");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  run = Run(L"/import \"" + file + L"\" /quiet");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_THAT(run.output, HasSubstr("0 made, 0 changed, 1 unchanged."));
  DeleteFileW((L"\\\\?\\" + file).c_str());
  for (std::wstring folder = deep; folder.size() > scratch_.size(); folder = folder.substr(0, folder.rfind(L'\\'))) {
    RemoveDirectoryW((L"\\\\?\\" + folder).c_str());
  }
}

// Started from a command prompt with no output of its own: the list goes to the prompt's console.
TEST_F(CorvaleCommandLineTest, ListsToTheConsoleOfThePromptThatStartedIt) {
  MakeLdn(u"Shop 1", kPortEthernet, 0x0A000001, 1000, 2);
  const ConsoleOutcome run = RunFromAPrompt(ProgramsUnderTestDirectory() + L"\\Corvale.exe", scratch_, L"/list");
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_THAT(Utf8(run.shown), HasSubstr("[Shop 1]"));
  EXPECT_THAT(Utf8(run.shown), HasSubstr("Port = 10.0.0.1"));
}

}  // namespace
}  // namespace corvale::testing
