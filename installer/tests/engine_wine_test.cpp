// Whole installations against the real spooler, disk and system information (under Wine):
// every result is read back from the spooler itself.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/driver_catalog.h"
#include "engine/test_page.h"
#include "platform/case_fold.h"
#include "support/fake_ui_services.h"
#include "platform/win32_files.h"
#include "platform/win32_printing.h"
#include "platform/win32_spooler.h"
#include "platform/win32_system_info.h"
#include "win32_readback.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char* const kMediumFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD",
                                    "STDNAMES.GPD", "POS76.DLL",  "POS76.GPD",  "POS76C.GPD"};
const char* const kStaged[] = {"POS76.DLL",  "POS76C.GPD", "UNIDRV.DLL",  "UNIDRVUI.DLL",
                               "UNIRES.DLL", "UNIDRV.HLP", "TTFSUB.GPD", "STDNAMES.GPD"};
constexpr int kModel = 6;
const char kModelName[] = "DIZ-76C";

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }
std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// An installation medium with the DIZ-76C driver for both processors in a scratch folder, which
// is the current directory while the test runs. Before and after, the spooler holds no printer
// or driver of that model.
class RealInstallation : public ::testing::Test {
 protected:
  void SetUp() override {
    medium_ = MakeTemporaryFolder("medium");
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      for (const char* file : kMediumFiles) {
        WriteFileBytes(medium_ + "\\" + folder + "\\" + file, std::string(folder) + " placeholder " + file);
      }
    }
    previousFolder_ = CurrentFolder();
    ASSERT_TRUE(SetCurrentFolder(medium_));
    previousDefault_ = CurrentDefaultPrinter();
    Clean();
    RegisterDriverForWineWow64(kModelName);
  }
  void TearDown() override {
    Clean();
    RemoveDriverForWineWow64(kModelName);
    if (!previousDefault_.empty()) spooler_.MakeDefault(previousDefault_);
    SetCurrentFolder(previousFolder_);
    RemoveFolderTree(medium_);
  }
  void Clean() {
    std::vector<std::string> names{kModelName};
    for (int n = 1; n <= 3; ++n) {
      names.push_back(std::string(kModelName) + " (copy " + std::to_string(n) + ")");
      names.push_back(std::string(kModelName) + " (副本 " + std::to_string(n) + ")");
    }
    for (const std::string& name : names) DeletePrinterNamed(name);
    for (const char* environment : {"Windows x64", "Windows NT x86"}) {
      DeleteDriverNamed(kModelName, environment);
      // Wine leaves a deleted driver's files in its version folder. On Windows the Unidrv files
      // there serve other drivers too, so only Wine's are removed.
      if (!RunningUnderWine()) continue;
      std::string directory;
      if (spooler_.DriverDirectory(environment, &directory) != spooler_error::kSuccess) continue;
      for (const char* file : kStaged) files_.Delete(directory + "\\3\\" + file);
    }
  }

  // The installer takes the driver set of the machine's own processor; the other set serves only
  // other machines.
  const std::string native_ = Win32NativeEnvironment();
  const ProcessorProfile& nativeProfile_ = native_ == kX64Profile.environment ? kX64Profile : kX86Profile;
  const ProcessorProfile& foreignProfile_ = native_ == kX64Profile.environment ? kX86Profile : kX64Profile;

  std::string DriverDirectory(const std::string& environment) {
    std::string directory;
    EXPECT_EQ(spooler_.DriverDirectory(environment, &directory), spooler_error::kSuccess);
    return directory;
  }
  std::string CopyName(int n) {
    return std::string(kModelName) + (system_.UserUiLanguage() == kLanguageChinese ? " (副本 " : " (copy ") +
           std::to_string(n) + ")";
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& call : messages_.calls) texts.push_back(call.text);
    return texts;
  }

  std::string medium_;
  std::string previousFolder_;
  std::string previousDefault_;
  Win32SystemInfo system_;
  Win32Spooler spooler_;
  Win32Files files_;
  RecordingMessageBoxes messages_;
  RecordingPauses pauses_;
  RecordingDebugOutput debug_;
  Win32Printing printing_;
  CDriverCatalog catalog_{EngineServices{system_, spooler_, files_, messages_, pauses_, debug_, printing_}};
};

TEST_F(RealInstallation, DriverAndPrinterAsTheSpoolerReportsThem) {
  ASSERT_TRUE(catalog_.InstallPrinter(0, kModel, 1, "LPT1:"));
  EXPECT_THAT(MessageTexts(), IsEmpty());
  EXPECT_EQ(catalog_.m_printerName, kModelName);

  RegisteredDriver d;
  ASSERT_TRUE(DriverOfPrinter(kModelName, native_, &d));
  EXPECT_EQ(d.version, 3u);
  EXPECT_EQ(d.name, kModelName);
  EXPECT_EQ(d.environment, native_);
  const std::string versionFolder = DriverDirectory(native_) + "\\3";
  const struct {
    const std::string& path;
    const char* file;
  } roles[] = {{d.driverPath, "UNIDRV.DLL"}, {d.dataFile, "POS76C.GPD"}, {d.configFile, "UNIDRVUI.DLL"},
               {d.helpFile, "UNIDRV.HLP"}};
  for (const auto& role : roles) {
    EXPECT_TRUE(EqualIgnoringCase(FileName(role.path), role.file)) << role.path;
    EXPECT_TRUE(EqualIgnoringCase(Folder(role.path), versionFolder)) << role.path;
  }
  std::vector<std::string> dependents;
  for (const std::string& path : d.dependentFiles) dependents.push_back(FileName(path));
  EXPECT_THAT(dependents, ElementsAre("TTFSUB.GPD", "STDNAMES.GPD", "UNIRES.DLL", "POS76.DLL"));
  EXPECT_EQ(d.defaultDataType, "RAW");

  PrinterInfo2 p;
  ASSERT_TRUE(PrinterRecord(kModelName, &p));
  EXPECT_EQ(p.printerName, kModelName);
  EXPECT_EQ(p.portName, "LPT1:");
  EXPECT_EQ(p.driverName, kModelName);
  EXPECT_TRUE(EqualIgnoringCase(p.printProcessor, "WinPrint")) << p.printProcessor;
  EXPECT_EQ(p.dataType, "RAW");
  EXPECT_NE(p.attributes & kPrinterAttributeLocal, 0u);

  EXPECT_EQ(CurrentDefaultPrinter(), kModelName);
  const std::string directory = DriverDirectory(native_);
  for (const char* file : kStaged) EXPECT_FALSE(FileExists(directory + "\\" + file)) << file << " is left staged";
}

TEST_F(RealInstallation, FurtherInstallationsOfTheModelAreNamedAsCopies) {
  ASSERT_TRUE(catalog_.InstallPrinter(0, kModel, 1, "LPT1:"));
  ASSERT_TRUE(catalog_.InstallPrinter(0, kModel, 0, "LPT1:"));
  EXPECT_EQ(catalog_.m_printerName, CopyName(1));
  ASSERT_TRUE(catalog_.InstallPrinter(0, kModel, 0, "USB001"));
  EXPECT_EQ(catalog_.m_printerName, CopyName(2));
  for (const std::string& name : {std::string(kModelName), CopyName(1), CopyName(2)}) {
    PrinterInfo2 p;
    EXPECT_TRUE(PrinterRecord(name, &p)) << name;
    EXPECT_EQ(p.driverName, kModelName);
  }
  PrinterInfo2 third;
  ASSERT_TRUE(PrinterRecord(CopyName(2), &third));
  EXPECT_EQ(third.portName, "USB001");
  EXPECT_EQ(CurrentDefaultPrinter(), kModelName) << "only the first installation asked to be the default";
  EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(RealInstallation, MissingSourceFileFailsBeforeTheSpooler) {
  const std::string source = std::string(nativeProfile_.sourceFolder) + "UNIRES.DLL";
  ASSERT_TRUE(DeleteFileA(source.c_str()));
  EXPECT_FALSE(catalog_.InstallPrinter(3, kModel, 1, "LPT1:"));
  const bool chinese = system_.UserUiLanguage() == kLanguageChinese;
  EXPECT_THAT(MessageTexts(), ElementsAre(chinese ? "安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。"
                                                  : "Malfunction !\nPls try using <Run as administrator>open this App"));
  RegisteredDriver d;
  EXPECT_FALSE(EnumeratedDriver(kModelName, native_, &d));
  PrinterInfo2 p;
  EXPECT_FALSE(PrinterRecord(kModelName, &p));
}

TEST_F(RealInstallation, PrinterTheSpoolerRefusesFailsTheInstallation) {
  // The other processor's driver set registers, but no local printer can use it.
  RemoveDriverForWineWow64(kModelName);
  const bool installed = catalog_.InstallDriverAndPrinter(foreignProfile_, 0, kModel, "LPT1:");
  PrinterInfo2 p;
  if (WineSpoolerUsesTheCallersEnvironment()) {
    EXPECT_TRUE(installed) << "Wine makes a 32-bit caller's printer with the 32-bit driver set; Windows refuses it";
  } else {
    EXPECT_FALSE(installed);
    ASSERT_EQ(messages_.calls.size(), 1u);
    EXPECT_EQ(MessageTexts()[0], system_.ErrorText(spooler_error::kUnknownPrinterDriver));
    EXPECT_FALSE(PrinterRecord(kModelName, &p));
  }
  const std::string directory = DriverDirectory(foreignProfile_.environment);
  for (const char* file : kStaged) EXPECT_FALSE(FileExists(directory + "\\" + file)) << file << " is left staged";
}

TEST_F(RealInstallation, TestPageGoesThroughTheNewPrinter) {
  ASSERT_TRUE(catalog_.InstallPrinter(0, kModel, 0, "LPT1:"));
  std::vector<unsigned char> stripes(((308 + 15) / 16) * 2 * 87, 0xAA);
  HBITMAP bitmap = CreateBitmap(308, 87, 1, 1, stripes.data());
  ASSERT_NE(bitmap, nullptr);
  // Wine opens the printer and starts the job; where the job then goes depends on the port.
  EXPECT_TRUE(catalog_.PrintTestPage(catalog_.m_printerName, PageBitmapFromHandle(bitmap),
                                     TestPageText(system_.UserUiLanguage())));
  DeleteObject(bitmap);
  EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST(Win32SystemInfo, AnswersForTheRunningSystem) {
  Win32SystemInfo system;
  // A 64-bit program runs on 64-bit Windows; a 32-bit one on either, and WoW64 tells which.
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  EXPECT_EQ(system.NativeProcessorArchitecture(),
            sizeof(void*) == 8 || wow64 ? kArchitectureAmd64 : kArchitectureX86);
  WindowsVersion version{99, 99};
  ASSERT_TRUE(system.QueryWindowsVersion(&version));
  EXPECT_TRUE(version.major == 5 || version.major == 6 || version.major == 10) << version.major;
  EXPECT_NE(system.UserUiLanguage(), 0);
  EXPECT_GE(system.LocalTime().year, 2020);
  EXPECT_THAT(system.ErrorText(ERROR_FILE_NOT_FOUND), ::testing::Not(IsEmpty()));
  EXPECT_THAT(system.ErrorText(0x20001234), IsEmpty()) << "no text for an error the system does not define";
}

TEST(Win32Printing, PrinterThatDoesNotExistCannotBeOpened) {
  Win32Printing printing;
  EXPECT_EQ(printing.OpenPrinter("Velmara No Such Printer"), nullptr);
}

TEST(Win32Printing, LogoSizeComesFromTheBitmap) {
  HBITMAP bitmap = CreateBitmap(308, 87, 1, 1, nullptr);
  ASSERT_NE(bitmap, nullptr);
  const PageBitmap logo = PageBitmapFromHandle(bitmap);
  EXPECT_EQ(logo.handle, bitmap);
  EXPECT_EQ(logo.width, 308);
  EXPECT_EQ(logo.height, 87);
  DeleteObject(bitmap);
  const PageBitmap none = PageBitmapFromHandle(nullptr);
  EXPECT_EQ(none.handle, nullptr);
  EXPECT_EQ(none.width, 0);
}

}  // namespace
}  // namespace velmara::testing
