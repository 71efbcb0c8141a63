// The real Velmara.exe run from the command line under Wine, as a deployment script runs it: from
// a scratch installation medium as its current directory, its output redirected, with Wine's
// spooler behind it. The 32-bit configurations run the shipped program.
#include <windows.h>
#include <shellapi.h>
#include <winspool.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "console_run.h"
#include "win32_readback.h"
#include "window_driver.h"

namespace velmara::testing {
namespace {

using namespace pos::testing;

using ::testing::AnyOf;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const char* const kCoreFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"};
const char* const k58Files[] = {"POS58.DLL", "POS58.GPD", "POS58C.GPD", "POS90.DLL", "POS90.GPD",
                                "POS76.DLL", "POS76.GPD", "POS76C.GPD"};
const char* const k80Files[] = {"POS80.DLL", "POS80.GPD", "POS80C.GPD"};
const char* const kModels[] = {"DUR-58", "RUD-80"};

std::wstring W(const std::string& s) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), wide.data(), length);
  return wide;
}

// The folder of the machine's own driver set on the medium.
std::string NativeFolder() { return Win32NativeEnvironment() == "Windows x64" ? "Windows x64" : "Windows NT x86"; }

class VelmaraCommandLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    medium_ = MakeTemporaryFolder("velmara-cli-medium");
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      const std::string base = medium_ + "\\" + folder + "\\";
      for (const char* file : kCoreFiles) WriteFileBytes(base + file, std::string("placeholder ") + file);
      for (const char* file : k58Files) WriteFileBytes(base + file, std::string("placeholder ") + file);
      for (const char* file : k80Files) WriteFileBytes(base + file, std::string("placeholder ") + file);
    }
    previousDefault_ = CurrentDefaultPrinter();
    CleanSpooler();
    for (const char* model : kModels) RegisterDriverForWineWow64(model);
  }

  void TearDown() override {
    CleanSpooler();
    for (const char* model : kModels) RemoveDriverForWineWow64(model);
    if (!previousDefault_.empty()) SetDefaultPrinterW(W(previousDefault_).c_str());
    RemoveFolderTree(medium_);
  }

  void CleanSpooler() {
    for (const char* model : kModels) {
      DeletePrinterNamed(model);
      DeletePrinterNamed(std::string(model) + " (copy 1)");
      DeleteDriverNamed(model, Win32NativeEnvironment());
    }
  }

  RunOutcome Run(const std::wstring& parameters) {
    return RunRedirected(ProgramsUnderTestDirectory() + L"\\Velmara.exe", W(medium_), parameters);
  }

  // What the spooler holds of the test's models, read back from the spooler itself.
  std::string SpoolerState() {
    std::string state = "default=" + CurrentDefaultPrinter();
    for (const char* model : kModels) {
      PrinterInfo2 printer;
      if (PrinterRecord(model, &printer)) state += "; printer " + printer.printerName + " on " + printer.portName;
      RegisteredDriver driver;
      if (EnumeratedDriver(model, Win32NativeEnvironment(), &driver)) state += "; driver " + driver.name;
    }
    return state;
  }

  std::string medium_;
  std::string previousDefault_;
};

TEST_F(VelmaraCommandLineTest, AQuietInstallationFromTheMediumCreatesTheQueueAndEndsWithZero) {
  // A log folder with a blank and Chinese in its name, deeper than MAX_PATH.
  const std::string logFolder = medium_ + "\\日志 logs\\" + std::string(120, 'a') + "\\" + std::string(120, 'b');
  MakeFolders(logFolder);
  const std::string log = logFolder + "\\till 1.log";
  ASSERT_GT(W(log).size(), static_cast<std::size_t>(MAX_PATH));

  const RunOutcome run = Run(L"/install rud-80 /port LPT1: /quiet /log \"" + W(log) + L"\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_EQ(run.output, "Installed the printer \"RUD-80\" (driver RUD-80) on LPT1:.\r\n");
  PrinterInfo2 printer;
  ASSERT_TRUE(PrinterRecord("RUD-80", &printer)) << "the spooler holds the queue";
  EXPECT_EQ(printer.portName, "LPT1:");
  EXPECT_EQ(printer.driverName, "RUD-80");
  RegisteredDriver driver;
  EXPECT_TRUE(EnumeratedDriver("RUD-80", Win32NativeEnvironment(), &driver));

  const std::string written = ReadFileBytes(log);
  // Each line with the time: "2024-05-01 12:34:56 ".
  ASSERT_GT(written.size(), 20u);
  EXPECT_EQ(written[4], '-');
  EXPECT_EQ(written[19], ' ');
  EXPECT_THAT(written, HasSubstr(" Velmara /install rud-80 /port LPT1: /quiet /log \"" + log + "\"\r\n"));
  EXPECT_THAT(written, HasSubstr(" Installed the printer \"RUD-80\" (driver RUD-80) on LPT1:.\r\n"));
}

TEST_F(VelmaraCommandLineTest, EachFailureHasItsExitCodeAndLeavesTheSpoolerAsItWas) {
  const std::string native = medium_ + "\\" + NativeFolder() + "\\";
  const struct {
    const char* what;
    const wchar_t* parameters;
    std::string missingFile;
    DWORD exitCode;
    const char* said;
  } cases[] = {
      {"bad arguments", L"/install RUD-80 /port COM1 /quiet", "", 2, "\"COM1\" is not a port"},
      {"a model the medium does not carry", L"/install RUD-80 /port LPT1: /quiet",
       medium_ + "\\Windows NT x86\\POS80.DLL", 3, "does not carry the RUD-80 driver"},
      {"no USB printer", L"/install RUD-80 /quiet", "", 4, "No USB printer"},
      {"driver files missing", L"/install DUR-58 /port LPT1: /quiet", native + "UNIRES.DLL", 5, "Malfunction !"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.missingFile.empty()) {
      ASSERT_TRUE(DeleteFileW(W(c.missingFile).c_str()));
    }
    const std::string before = SpoolerState();
    const RunOutcome run = Run(c.parameters);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
    EXPECT_THAT(run.output, HasSubstr(c.said));
    EXPECT_EQ(SpoolerState(), before);
    if (!c.missingFile.empty()) WriteFileBytes(c.missingFile, "placeholder");
  }
}

TEST_F(VelmaraCommandLineTest, TheSpoolerRefusingThePrinterEndsWithSix) {
  // A 32-bit program on 64-bit Wine finds the spooler looking for the new printer's driver under
  // its own environment; without the test's registration there, Wine refuses the printer as Windows
  // refuses one whose driver it does not have. Elsewhere Wine takes every printer that the
  // installer can offer it.
  if (!WineSpoolerUsesTheCallersEnvironment()) GTEST_SKIP() << "Wine's spooler refuses none of these printers here";
  RemoveDriverForWineWow64("RUD-80");
  const RunOutcome run = Run(L"/install RUD-80 /port LPT1: /quiet");
  EXPECT_EQ(run.exitCode, 6u) << run.output;
  PrinterInfo2 printer;
  EXPECT_FALSE(PrinterRecord("RUD-80", &printer));
  EXPECT_THAT(run.output, HasSubstr("Install Failed !"));
}

// Started from a command prompt, with no output of its own: its lines go to the prompt's console.
TEST_F(VelmaraCommandLineTest, WritesToTheConsoleOfThePromptThatStartedIt) {
  const ConsoleOutcome run =
      RunFromAPrompt(ProgramsUnderTestDirectory() + L"\\Velmara.exe", W(medium_), L"/checkusb /quiet");
  EXPECT_EQ(run.exitCode, 4u);
  EXPECT_THAT(Utf8(run.shown), AnyOf(HasSubstr("Have not found a USB printer device !"), HasSubstr("USB打印机没有接入设备")));
}

// Started without a console and without /quiet, as from a deployment tool: the usage comes in a
// message box, which a technician answers.
TEST_F(VelmaraCommandLineTest, WithoutAConsoleTheUsageComesInAMessageBox) {
  FreeConsole();
  std::wstring commandLine = L"\"" + ProgramsUnderTestDirectory() + L"\\Velmara.exe\" /bogus";
  // No standard handles at all: Wine would otherwise hand on the test's own.
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, W(medium_).c_str(),
                             &startup, &info));
  const HWND box = WaitForDialog(info.dwProcessId, L"Velmara", {}, 20000);
  SeenMessageBox seen;
  if (box != nullptr) {
    seen = ReadMessageBox(box);
    Press(box, IDOK);
  }
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(info.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  GetExitCodeProcess(info.hProcess, &exitCode);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);

  ASSERT_NE(box, nullptr) << "no message box";
  EXPECT_THAT(Utf8(seen.text), HasSubstr("not understood: /bogus\nVelmara, the receipt printer driver installer"));
  EXPECT_EQ(exitCode, 2u);
}

TEST_F(VelmaraCommandLineTest, CheckUsbWithoutAUsbPrinter) {
  const RunOutcome run = Run(L"/checkusb /quiet");
  EXPECT_EQ(run.exitCode, 4u);
  EXPECT_THAT(run.output, AnyOf(HasSubstr("Have not found a USB printer device !"), HasSubstr("USB打印机没有接入设备")));
}

TEST_F(VelmaraCommandLineTest, TheUsageAndTheBadArgumentsCode) {
  const RunOutcome run = Run(L"/?");
  EXPECT_EQ(run.exitCode, 2u);
  EXPECT_THAT(run.output, StartsWith("Velmara, the receipt printer driver installer"));
  EXPECT_THAT(run.output, HasSubstr("\r\nExit codes: 0 done"));
}

// The program's own splitting against the system's, with the rows of the Linux test that Windows
// and Wine agree on.
TEST(VelmaraCommandLine, IsSplitAsCommandLineToArgvWSplitsIt) {
  const std::string longPath = "C:\\" + std::string(150, 'a') + "\\" + std::string(150, 'b') + "\\till.log";
  const std::string lines[] = {
      "Velmara.exe",
      "\"C:\\My Medium\\Velmara.exe\" /install RUD-80",
      "\"C:\\a b\\Velmara.exe\"/install x",
      "Velmara.exe  /install \t \"RUD-80\"  ",
      "Velmara.exe /log \"C:\\logs\\\" /quiet",
      "Velmara.exe /log \"C:\\logs\\\\\" /quiet",
      "Velmara.exe a\\\\\\\"b",
      "Velmara.exe a\\\\\\\\\"b c\"",
      "Velmara.exe \\\\server\\share\\a\\\\b",
      "Velmara.exe a\"b c\"d",
      "Velmara.exe \"a\"\"b\"",
      "Velmara.exe \"a\"\"b c\"",
      "Velmara.exe \"a\"\"\"b c\"",
      "Velmara.exe \"\"\"\"",
      "Velmara.exe \"\" x \"\"",
      "Velmara.exe \"unterminated part",
      "Velmara.exe /log \"D:\\日志\\安装 1.log\" /install 𝔘",
      "Velmara.exe /log \"" + longPath + "\"",
  };
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    int count = 0;
    LPWSTR* system = CommandLineToArgvW(W(line).c_str(), &count);
    ASSERT_NE(system, nullptr);
    std::vector<std::string> expected;
    for (int i = 1; i < count; ++i) expected.push_back(Utf8(system[i]));
    LocalFree(system);
    EXPECT_EQ(SplitCommandLine(line), expected);
  }
}

}  // namespace
}  // namespace velmara::testing
