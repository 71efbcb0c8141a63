// Velmara run from the command line, on the in-memory machine: a 64-bit Windows 10 with an
// English UI, started from a medium that carries every model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/command_run.h"
#include "engine/test_page.h"
#include "support/fake_console.h"
#include "support/fake_printing.h"
#include "support/fixed_system_info.h"
#include "support/memory_files.h"
#include "support/memory_spooler.h"
#include "usb/usb_globals.h"
#include "usb_fixture.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

using Args = std::vector<std::string>;

const char* const kCoreFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"};
const char* const k58Files[] = {"POS58.DLL", "POS58.GPD", "POS58C.GPD", "POS90.DLL", "POS90.GPD",
                                "POS76.DLL", "POS76.GPD", "POS76C.GPD"};
const char* const k80Files[] = {"POS80.DLL", "POS80.GPD", "POS80C.GPD"};

class CommandRunTest : public UsbFixture {
 protected:
  CommandRunTest() {
    Medium(true, true);
    spooler_.AddPort("USB001");
    spooler_.AddPort("USB002");
  }

  void Medium(bool with58, bool with80) {
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      const std::string base = std::string(folder) + "\\";
      for (const char* file : kCoreFiles) files_.AddFile(base + file, file);
      if (with58) {
        for (const char* file : k58Files) files_.AddFile(base + file, file);
      }
      if (with80) {
        for (const char* file : k80Files) files_.AddFile(base + file, file);
      }
    }
  }

  int Run(const Args& arguments) { return RunVelmaraCommandLine(arguments, services_); }
  // The port of the printer |name|, or that there is none.
  std::string PortOf(const std::string& name) const {
    const PrinterInfo2* printer = spooler_.FindPrinter(name);
    return printer == nullptr ? "<no printer>" : printer->portName;
  }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& call : boxes_.calls) texts.push_back(call.text);
    return texts;
  }
  // The spooler's printers and drivers, and the default printer, as text.
  std::string SpoolerState() const {
    std::string state = "default=" + spooler_.defaultPrinter();
    for (const PrinterInfo2& p : spooler_.printers()) state += ";" + p.printerName + "@" + p.portName;
    for (const char* model : {"DUR-58", "RUD-80", "RUD-80C", "DIZ-76C"}) {
      if (spooler_.FindDriver(model, "Windows x64") != nullptr) state += ";driver " + std::string(model);
    }
    return state;
  }

  FixedSystemInfo system_;
  MemoryFiles files_{"C:\\medium"};
  MemorySpooler spooler_{files_};
  RecordingPrinting printing_;
  FakeConsole console_;
  int logo_ = 0;
  CommandServices services_{EngineServices{system_, spooler_, files_, boxes_, pauses_, debug_, printing_},
                            UsbFixture::services_, console_, PageBitmap{&logo_, 308, 87}};
};

TEST_F(CommandRunTest, AQuietInstallationOnTheConnectedUsbPrinterShowsNothingAndSaysWhatItMade) {
  PlugPrinter("vid_0416&pid_5011", 2);
  spooler_.AddExistingPrinter("RUD-80");
  EXPECT_EQ(Run({"/install", "rud-80", "/quiet"}), kExitDone);
  const PrinterInfo2* printer = spooler_.FindPrinter("RUD-80 (copy 1)");
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->portName, "USB002");
  EXPECT_EQ(printer->driverName, "RUD-80");
  EXPECT_NE(spooler_.FindDriver("RUD-80", "Windows x64"), nullptr) << "the driver set of the machine's processor";
  EXPECT_THAT(boxes_.calls, IsEmpty());
  EXPECT_EQ(console_.output, "Installed the printer \"RUD-80 (copy 1)\" (driver RUD-80) on USB002.\r\n");
  EXPECT_EQ(spooler_.defaultPrinter(), "");
  EXPECT_THAT(printing_.documents, IsEmpty());
}

TEST_F(CommandRunTest, TheDefaultPrinterAndTheTestPageWhenAskedFor) {
  system_.uiLanguage = 0x0804;
  EXPECT_EQ(Run({"/install", "DIZ-76C", "/port", "LPT1:", "/default", "/testpage", "/quiet"}), kExitDone);
  EXPECT_EQ(PortOf("DIZ-76C"), "LPT1:");
  EXPECT_EQ(spooler_.defaultPrinter(), "DIZ-76C");
  ASSERT_EQ(printing_.documents.size(), 1u);
  EXPECT_EQ(printing_.documents[0].printerName, "DIZ-76C");
  ASSERT_EQ(printing_.documents[0].pages.size(), 1u);
  const auto& drawings = printing_.documents[0].pages[0].drawings;
  ASSERT_GE(drawings.size(), 2u);
  EXPECT_EQ(drawings[0].text, TestPageText(0x0804)) << "the page in the user's language";
  EXPECT_EQ(drawings[1].bitmap.handle, &logo_) << "with the program's logo";
  EXPECT_EQ(pauses_.pauses.back(), 511u) << "after the dialog's pause";
  EXPECT_EQ(console_.output,
            "Installed the printer \"DIZ-76C\" (driver DIZ-76C) on LPT1:.\r\n"
            "\"DIZ-76C\" is the default printer.\r\n"
            "Printed the test page on \"DIZ-76C\".\r\n");
}

TEST_F(CommandRunTest, ANamedUsbPortIsTakenAsItIsWithoutLookingForPrinters) {
  EXPECT_EQ(Run({"/install", "DUR-58", "/port", "usb001", "/quiet"}), kExitDone);
  EXPECT_EQ(PortOf("DUR-58"), "USB001");
}

TEST_F(CommandRunTest, EachFailureHasItsExitCodeAndLeavesTheSpoolerAsItWas) {
  enum Leaves { kAsItWas, kTheDriver, kThePrinter };
  const struct {
    const char* what;
    Args arguments;
    std::function<void()> arrange;
    int exitCode;
    const char* said;
    Leaves leaves;
  } cases[] = {
      {"bad arguments", {"/install", "RUD-80", "/port", "COM1", "/quiet"}, nullptr, kExitBadArguments,
       "\"COM1\" is not a port", kAsItWas},
      {"a model the medium does not carry", {"/install", "RUD-80", "/port", "LPT1:", "/quiet"},
       [this] { files_.Delete("Windows NT x86\\POS80.DLL"); }, kExitModelNotOnMedium,
       "does not carry the RUD-80 driver", kAsItWas},
      {"no USB printer", {"/install", "RUD-80", "/quiet"}, nullptr, kExitNoUsbPrinter, "No USB printer", kAsItWas},
      {"a USB printer of another maker", {"/install", "RUD-80", "/quiet"},
       [this] { PlugPrinter("vid_1234&pid_5011", 1); }, kExitNoUsbPrinter, "No USB printer",
       kAsItWas},
      {"driver files missing", {"/install", "RUD-80", "/port", "LPT1:", "/quiet"},
       [this] { files_.Delete("Windows x64\\UNIRES.DLL"); }, kExitDriverFilesMissing,
       "Malfunction !", kAsItWas},
      {"the spooler refuses the driver", {"/install", "RUD-80", "/port", "LPT1:", "/quiet"},
       [this] { spooler_.addDriverFailure = 5; }, kExitSpoolerRefused,
       "Access is denied.\r\nInstall printer driver failed !", kAsItWas},
      // Windows keeps a driver whose printer it refused.
      {"the spooler refuses the port", {"/install", "RUD-80", "/port", "USB099", "/quiet"}, nullptr,
       kExitSpoolerRefused, "The specified port is unknown.\r\nInstall Failed !", kTheDriver},
      {"the spooler refuses the default", {"/install", "RUD-80", "/port", "LPT1:", "/default", "/quiet"},
       [this] { spooler_.makeDefaultFailure = 5; }, kExitSpoolerRefused,
       "The spooler did not make \"RUD-80\" the default printer.", kThePrinter},
      {"the test page fails", {"/install", "RUD-80", "/port", "LPT1:", "/testpage", "/quiet"},
       [this] { printing_.unavailable.insert("RUD-80"); }, kExitTestPageFailed,
       "The test page could not be printed on \"RUD-80\".", kThePrinter},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Medium(true, true);
    spooler_.addDriverFailure = 0;
    spooler_.makeDefaultFailure = 0;
    printing_.unavailable.clear();
    spooler_.RemovePrinter("RUD-80");
    spooler_.RemoveDriver("RUD-80", "Windows x64");
    console_.output.clear();
    if (c.arrange) c.arrange();
    const std::string before = SpoolerState();
    EXPECT_EQ(Run(c.arguments), c.exitCode);
    EXPECT_THAT(console_.output, HasSubstr(c.said));
    EXPECT_THAT(boxes_.calls, IsEmpty()) << "a quiet run shows no window";
    switch (c.leaves) {
      case kAsItWas:
        EXPECT_EQ(SpoolerState(), before);
        break;
      case kTheDriver:
        EXPECT_EQ(SpoolerState(), before + ";driver RUD-80");
        break;
      case kThePrinter:
        EXPECT_THAT(console_.output, HasSubstr("Installed the printer \"RUD-80\" (driver RUD-80) on LPT1:."));
        EXPECT_NE(spooler_.FindPrinter("RUD-80"), nullptr);
        break;
    }
  }
}

TEST_F(CommandRunTest, WithoutQuietTheUsualMessageBoxesAppear) {
  files_.Delete("Windows x64\\UNIRES.DLL");
  EXPECT_EQ(Run({"/install", "RUD-80", "/port", "LPT1:"}), kExitDriverFilesMissing);
  EXPECT_THAT(BoxTexts(), ElementsAre("Malfunction !", "Install Failed ! "));
  EXPECT_EQ(console_.output, "Malfunction !\r\nInstall Failed ! \r\n");
  for (const auto& call : boxes_.calls) EXPECT_EQ(call.owner, nullptr) << "there is no window to own them";
}

TEST_F(CommandRunTest, TheOsChoiceIsTheOneTheDialogWouldRecommend) {
  // Only the copy-failure message tells the OS choice: from "Windows Vista" on the dialog's list
  // it names the remedy. The dialog recommends "Windows 7" on Windows 7, "Windows 10" (the first
  // choice) on Windows 10.
  files_.Delete("Windows x64\\UNIRES.DLL");
  system_.version = {6, 1};
  EXPECT_EQ(Run({"/install", "RUD-80", "/port", "LPT1:", "/quiet"}), kExitDriverFilesMissing);
  EXPECT_EQ(console_.output,
            "Malfunction !\r\nPls try using <Run as administrator>open this App\r\nInstall Failed ! \r\n");
}

TEST_F(CommandRunTest, OnWindows8AndLaterAPrinterIsFoundWithoutItsLinkedValue) {
  Plug({"vid_0416&pid_5011", kInterfaceActive, SeededValue::Dword(0), SeededValue::Dword(1)});
  system_.version = {6, 1};
  EXPECT_EQ(Run({"/install", "RUD-80", "/quiet"}), kExitNoUsbPrinter);
  EXPECT_FALSE(g_skipLinkedCheck);
  system_.version = {6, 2};
  EXPECT_EQ(Run({"/install", "RUD-80", "/quiet"}), kExitDone);
  EXPECT_EQ(PortOf("RUD-80"), "USB001");
}

TEST_F(CommandRunTest, TheLogFileGetsEveryLineWithTheTime) {
  files_.AddFile("C:\\logs\\till.log", "earlier line\r\n");
  PlugPrinter("vid_0416&pid_5011", 1);
  EXPECT_EQ(Run({"/install", "RUD-80", "/quiet", "/log", "C:\\logs\\till.log"}), kExitDone);
  EXPECT_EQ(files_.Contents("C:\\logs\\till.log"),
            "earlier line\r\n"
            "2016-03-05 09:07:03 Velmara /install RUD-80 /quiet /log C:\\logs\\till.log\r\n"
            "2016-03-05 09:07:03 Installed the printer \"RUD-80\" (driver RUD-80) on USB001.\r\n");

  console_.present = false;
  console_.output.clear();
  EXPECT_EQ(Run({"/install", "RUD-80", "/quiet", "/log", "C:\\logs\\till.log", "/port", "COM3"}), kExitBadArguments);
  const std::string log = files_.Contents("C:\\logs\\till.log");
  EXPECT_THAT(log, HasSubstr("2016-03-05 09:07:03 Velmara /install RUD-80 /quiet /log C:\\logs\\till.log /port COM3\r\n"
                             "2016-03-05 09:07:03 \"COM3\" is not a port"));
  EXPECT_THAT(log, HasSubstr("2016-03-05 09:07:03 Exit codes: 0 done"));
  EXPECT_THAT(boxes_.calls, IsEmpty());
}

TEST_F(CommandRunTest, ALogFileThatCannotBeWrittenStopsTheRunBeforeAnything) {
  PlugPrinter("vid_0416&pid_5011", 1);
  EXPECT_EQ(Run({"/install", "RUD-80", "/log", "C:\\no such folder\\till.log"}), kExitBadArguments);
  EXPECT_EQ(console_.output,
            "The log file \"C:\\no such folder\\till.log\" cannot be written: The system cannot find the path "
            "specified.\r\n");
  EXPECT_THAT(spooler_.printers(), IsEmpty());
  EXPECT_THAT(boxes_.calls, IsEmpty()) << "the console says it";
}

TEST_F(CommandRunTest, TheUsageGoesToTheConsoleOrElseToAMessageBoxUnlessQuiet) {
  EXPECT_EQ(Run({"/?"}), kExitBadArguments);
  EXPECT_THAT(console_.output, HasSubstr("Velmara.exe /install MODEL"));
  EXPECT_THAT(boxes_.calls, IsEmpty());

  console_.present = false;
  console_.output.clear();
  EXPECT_EQ(Run({"/install", "RUD-80", "/bogus"}), kExitBadArguments);
  ASSERT_EQ(boxes_.calls.size(), 1u);
  EXPECT_THAT(boxes_.calls[0].text, HasSubstr("not understood: /bogus\nVelmara, the receipt printer driver installer"));

  boxes_.calls.clear();
  EXPECT_EQ(Run({"/?", "/quiet"}), kExitBadArguments);
  EXPECT_THAT(boxes_.calls, IsEmpty());
  EXPECT_THAT(spooler_.printers(), IsEmpty()) << "nothing is installed";
}

TEST_F(CommandRunTest, CheckUsbPrintsThePagesAndSaysWhichPortsItFound) {
  const std::string first = PlugPrinter("vid_0416&pid_5011", 1);
  const std::string third = PlugPrinter("vid_0483&pid_5720", 3);
  EXPECT_EQ(Run({"/checkusb"}), kExitDone);
  EXPECT_EQ(console_.output, "Your USB printer's Port is :\r\n\tUSB001 ;\r\n\tUSB003 ;\r\n");
  EXPECT_THAT(BoxTexts(), ElementsAre("Your USB printer's Port is :\r\n\tUSB001 ;\r\n\tUSB003 ;\r\n"));
  ASSERT_NE(output_.Find(first), nullptr);
  EXPECT_EQ(output_.Find(first)->writes.size(), 1u);
  EXPECT_EQ(output_.Find(third)->writes.size(), 1u);
  EXPECT_EQ(g_uiLanguage, 0x0409) << "the pages in the user's language";
}

TEST_F(CommandRunTest, CheckUsbWithoutAPrinter) {
  EXPECT_EQ(Run({"/checkusb", "/quiet"}), kExitNoUsbPrinter);
  EXPECT_EQ(console_.output, "Have not found a USB printer device !\r\n");
  EXPECT_THAT(boxes_.calls, IsEmpty());
}

}  // namespace
}  // namespace velmara::testing
