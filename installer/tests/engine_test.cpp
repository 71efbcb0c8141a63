// The installation engine on the in-memory stand-ins of a Windows machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/os_detection.h"
#include "engine/test_page.h"
#include "engine/unique_printer_name.h"
#include "engine_fixture.h"

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Op = MemoryFiles::Operation;

constexpr std::uint16_t kEnglish = 0x0409;
constexpr std::uint16_t kChinese = 0x0804;

struct ModelFiles {
  int model;
  const char* name;
  const char* dll;
  const char* gpd;
};
constexpr ModelFiles kModels[] = {
    {0, "DUR-58", "POS58.DLL", "POS58.GPD"},  {1, "DUR-58C", "POS58.DLL", "POS58C.GPD"},
    {2, "RUD-80", "POS80.DLL", "POS80.GPD"},  {3, "RUD-80C", "POS80.DLL", "POS80C.GPD"},
    {4, "DAD-90", "POS90.DLL", "POS90.GPD"},  {5, "DIZ-76", "POS76.DLL", "POS76.GPD"},
    {6, "DIZ-76C", "POS76.DLL", "POS76C.GPD"},
};

std::vector<std::string> StagingOrder(const ModelFiles& m) {
  std::vector<std::string> order{m.dll, m.gpd};
  for (const char* file : kUnidrvCoreFiles) order.emplace_back(file);
  return order;
}

TEST_F(EngineTest, StagesEachModelsEightFilesInOrderAndRemovesThemAfterRegistration) {
  for (const ModelFiles& m : kModels) {
    SCOPED_TRACE(m.name);
    files.log.clear();
    ASSERT_TRUE(catalog.InstallPrinter(0, m.model, 0, "LPT1:"));
    const std::vector<std::string> order = StagingOrder(m);
    std::vector<std::string> copiedFrom, copiedTo, deleted;
    for (const Op& op : Operations(Op::kCopy)) {
      copiedFrom.push_back(op.from);
      copiedTo.push_back(op.to);
    }
    for (const Op& op : Operations(Op::kDelete)) deleted.push_back(op.to);
    std::vector<std::string> expectedFrom, expectedTo;
    for (const std::string& file : order) {
      expectedFrom.push_back("C:\\medium\\Windows x64\\" + file);
      expectedTo.push_back(std::string(kDriverDirectory) + "\\" + file);
    }
    EXPECT_EQ(copiedFrom, expectedFrom);
    EXPECT_EQ(copiedTo, expectedTo);
    // The model's own files are cleared before the copies, and all eight after registration.
    std::vector<std::string> expectedDeleted{expectedTo[0], expectedTo[1]};
    expectedDeleted.insert(expectedDeleted.end(), expectedTo.begin(), expectedTo.end());
    EXPECT_EQ(deleted, expectedDeleted);
    for (const std::string& path : expectedTo) EXPECT_FALSE(files.HasFile(path)) << path;
    const MemorySpooler::InstalledDriver* driver = memorySpooler.FindDriver(m.name, "Windows x64");
    ASSERT_NE(driver, nullptr);
    EXPECT_EQ(files.Contents(driver->dataFile), m.gpd) << "the model's own description is registered";
    EXPECT_EQ(files.Contents(driver->dependentFiles.back()), m.dll);
  }
  EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(EngineTest, OnlyTheX64ArchitectureSelectsThe64BitDriverSet) {
  const struct {
    std::uint16_t architecture;
    bool versionFails;
    const char* environment;
    const char* sourceFolder;
  } cases[] = {
      {kArchitectureAmd64, false, "Windows x64", "C:\\medium\\Windows x64\\"},
      {kArchitectureX86, false, "Windows NT x86", "C:\\medium\\Windows NT x86\\"},
      {kArchitectureIa64, false, "Windows NT x86", "C:\\medium\\Windows NT x86\\"},
      {kArchitectureUnknown, false, "Windows NT x86", "C:\\medium\\Windows NT x86\\"},
      {12, false, "Windows NT x86", "C:\\medium\\Windows NT x86\\"},
      // Without a version there are no names at all, and the 32-bit set is the fallback.
      {kArchitectureAmd64, true, "Windows NT x86", "C:\\medium\\Windows NT x86\\"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "architecture " << c.architecture << (c.versionFails ? ", no version" : ""));
    system.architecture = c.architecture;
    system.versionFails = c.versionFails;
    spooler.environments.clear();
    spooler.drivers.clear();
    files.log.clear();
    catalog.InstallPrinter(0, 2, 0, "LPT1:");
    EXPECT_THAT(spooler.environments, ElementsAre(c.environment));
    ASSERT_EQ(spooler.drivers.size(), 1u);
    EXPECT_EQ(spooler.drivers[0].environment, c.environment);
    const std::vector<Op> copies = Operations(Op::kCopy);
    ASSERT_EQ(copies.size(), 8u);
    EXPECT_EQ(copies[0].from, std::string(c.sourceFolder) + "POS80.DLL");
  }
}

TEST_F(EngineTest, DetectionNamesEveryReleaseAndArchitecture) {
  const struct {
    std::uint32_t major, minor;
    const char* os;
  } versions[] = {
      {5, 0, "Windows 2000"},  {5, 1, "Windows XP"},  {5, 2, "Windows 2003"}, {5, 3, "Unknow"},
      {6, 0, "Windows Vista"}, {6, 1, "Windows 7"},   {6, 2, "Windows 8"},    {6, 3, "Windows 8.1"},
      {6, 4, "Windows 8.1"},   {6, 9, "Windows 8.1"}, {10, 0, "Windows 10"},  {10, 1, "Windows 10.1"},
      {10, 7, "Windows 10.1"}, {4, 0, "Unknow"},      {7, 0, "Unknow"},       {11, 0, "Unknow"},
  };
  for (const auto& v : versions) {
    SCOPED_TRACE(::testing::Message() << v.major << "." << v.minor);
    system.version = {v.major, v.minor};
    std::string arch, os;
    EXPECT_TRUE(catalog.DetectOsAndArch(arch, os));
    EXPECT_EQ(os, v.os);
  }
  const struct {
    std::uint16_t value;
    const char* arch;
  } architectures[] = {
      {0, "x86"}, {6, "Intel Itanium-based"}, {9, "x64"}, {0xFFFF, "Unknown architecture"}, {12, "Unknown"}, {5, "Unknown"},
  };
  for (const auto& a : architectures) {
    SCOPED_TRACE(::testing::Message() << "architecture " << a.value);
    system.architecture = a.value;
    std::string arch, os;
    EXPECT_TRUE(catalog.DetectOsAndArch(arch, os));
    EXPECT_EQ(arch, a.arch);
  }
}

TEST_F(EngineTest, FailedVersionQueryLeavesBothNamesUntouched) {
  system.versionFails = true;
  std::string arch = "preset arch", os = "preset os";
  EXPECT_FALSE(catalog.DetectOsAndArch(arch, os));
  EXPECT_EQ(arch, "preset arch");
  EXPECT_EQ(os, "preset os");
}

TEST_F(EngineTest, RecommendationNamesTheSystemAndPresetsTheOsChoice) {
  const struct {
    std::uint32_t major, minor;
    std::uint16_t architecture;
    bool versionFails;
    std::uint16_t language;
    const char* statusText;
    int osIndex;
  } cases[] = {
      {6, 1, kArchitectureAmd64, false, kEnglish, "You are using Windows 7 x64 OS.\nPlease select Windows 7 to install.", 4},
      {5, 1, kArchitectureX86, false, kChinese, "您正使用的是Windows XP x86系统。\n推荐选择Windows XP进行安装。", 1},
      {5, 0, kArchitectureX86, false, kEnglish, "You are using Windows 2000 x86 OS.\nPlease select Windows 2000 to install.", 0},
      {5, 2, kArchitectureX86, false, kEnglish, "You are using Windows 2003 x86 OS.\nPlease select Windows 2003 to install.", 2},
      {6, 0, kArchitectureX86, false, kEnglish, "You are using Windows Vista x86 OS.\nPlease select Windows Vista to install.", 3},
      {6, 2, kArchitectureAmd64, false, kEnglish, "You are using Windows 8 x64 OS.\nPlease select Windows 8 to install.", 5},
      {6, 3, kArchitectureAmd64, false, kEnglish, "You are using Windows 8.1 x64 OS.\nPlease select Windows 8.1 to install.", 5},
      {10, 0, kArchitectureAmd64, false, kEnglish, "You are using Windows 10 x64 OS.\nPlease select Windows 10 to install.", 0},
      {10, 1, kArchitectureAmd64, false, kEnglish, "You are using Windows 10.1 x64 OS.\nPlease select Windows 10.1 to install.", 0},
      {5, 3, kArchitectureIa64, false, kEnglish, "You are using Unknow Intel Itanium-based OS.\nPlease select Unknow to install.", 0},
      {6, 1, 12, false, 0x0404, "You are using Windows 7 Unknown OS.\nPlease select Windows 7 to install.", 4},
      {6, 1, kArchitectureAmd64, true, kEnglish, "You are using   OS.\nPlease select  to install.", 0},
      {6, 1, kArchitectureAmd64, true, kChinese, "您正使用的是 系统。\n推荐选择进行安装。", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.statusText);
    system.version = {c.major, c.minor};
    system.architecture = c.architecture;
    system.versionFails = c.versionFails;
    const OsRecommendation r = RecommendOs(catalog, c.language);
    EXPECT_EQ(r.statusText, c.statusText);
    EXPECT_EQ(r.osIndex, c.osIndex);
    if (c.versionFails) {
      EXPECT_EQ(r.detectedOs, "");
      EXPECT_EQ(r.detectedArch, "");
    }
  }
}

TEST_F(EngineTest, MissingSourceFileStopsBeforeTheSpoolerWithTheCopyFailureMessage) {
  files.Delete("Windows x64\\UNIRES.DLL");
  const struct {
    std::uint16_t language;
    int osIndex;
    const char* text;
  } cases[] = {
      {kEnglish, 0, "Malfunction !"},
      {kEnglish, 2, "Malfunction !"},
      {kEnglish, 3, "Malfunction !\nPls try using <Run as administrator>open this App"},
      {kEnglish, 5, "Malfunction !\nPls try using <Run as administrator>open this App"},
      {kChinese, 1, "安装过程发生错误！"},
      {kChinese, 4, "安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    system.uiLanguage = c.language;
    messages.calls.clear();
    files.log.clear();
    EXPECT_FALSE(catalog.InstallPrinter(c.osIndex, 3, 1, "USB001"));
    EXPECT_THAT(MessageTexts(), ElementsAre(c.text));
    const std::vector<Op> copies = Operations(Op::kCopy);
    ASSERT_EQ(copies.size(), 8u) << "every copy is attempted";
    EXPECT_EQ(copies[4].status, file_error::kFileNotFound);
    EXPECT_EQ(catalog.m_printerName, "RUD-80C");
  }
  EXPECT_THAT(memorySpooler.calls(), ::testing::Each(std::string("DriverDirectory")));
  EXPECT_EQ(messages.calls[0].style, kMbOk | kMbIconExclamation);
  EXPECT_EQ(memorySpooler.defaultPrinter(), "");
}

TEST_F(EngineTest, FailedRegistrationShowsTheSystemTextThenTheFailure) {
  memorySpooler.addDriverFailure = spooler_error::kAccessDenied;
  const struct {
    std::uint16_t language;
    std::uint32_t error;
    std::vector<std::string> texts;
  } cases[] = {
      {kEnglish, 5, {"Access is denied.\r\n", "Install printer driver failed !"}},
      {kChinese, 5, {"Access is denied.\r\n", "安装打印机驱动过程发生错误！"}},
      // An error the system has no text for is shown by its number.
      {kEnglish, 0x20001234, {"Error 536875572 (0x20001234)", "Install printer driver failed !"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.texts.back());
    system.uiLanguage = c.language;
    memorySpooler.addDriverFailure = c.error;
    messages.calls.clear();
    pauses.pauses.clear();
    EXPECT_FALSE(catalog.InstallPrinter(3, 2, 1, "LPT1:"));
    EXPECT_EQ(MessageTexts(), c.texts);
    EXPECT_THAT(pauses.pauses, ElementsAre(111u));
  }
  EXPECT_THAT(spooler.listFlags, IsEmpty());
  EXPECT_THAT(spooler.queues, IsEmpty());
  EXPECT_EQ(memorySpooler.defaultPrinter(), "");
  // The staged files stay where the spooler would have taken them from.
  EXPECT_TRUE(files.HasFile(std::string(kDriverDirectory) + "\\UNIDRV.DLL"));
}

TEST_F(EngineTest, DriverAndPrinterAreDescribedFieldByField) {
  ASSERT_TRUE(catalog.InstallPrinter(0, 3, 0, "USB001"));
  ASSERT_EQ(spooler.drivers.size(), 1u);
  const DriverInfo3& d = spooler.drivers[0];
  EXPECT_EQ(d.version, 3u);
  EXPECT_EQ(d.name, "RUD-80C");
  EXPECT_EQ(d.environment, "Windows x64");
  EXPECT_EQ(d.driverPath, "uniDRV.DLL");
  EXPECT_EQ(d.dataFile, "POS80C.GPD");
  EXPECT_EQ(d.configFile, "uniDRVUI.DLL");
  EXPECT_EQ(d.helpFile, "uniDRV.HLP");
  const char dependents[] = "TTFSUB.GPD\0STDNAMES.GPD\0UNIRES.DLL\0POS80.DLL\0\0\0\0";
  EXPECT_EQ(d.dependentFiles, std::string(dependents, sizeof(dependents) - 1));
  EXPECT_EQ(d.monitorName, "");
  EXPECT_EQ(d.defaultDataType, "RAW");

  EXPECT_THAT(spooler.listFlags, ElementsAre(kPrinterEnumLocal | kPrinterEnumConnections));
  ASSERT_EQ(spooler.queues.size(), 1u);
  const PrinterInfo2& p = spooler.queues[0];
  EXPECT_EQ(p.printerName, "RUD-80C");
  EXPECT_EQ(p.portName, "USB001");
  EXPECT_EQ(p.driverName, "RUD-80C");
  EXPECT_EQ(p.printProcessor, "WinPrint");
  EXPECT_EQ(p.dataType, "RAW");
  EXPECT_EQ(p.attributes, 0x40u);
  for (std::uint32_t field : {p.priority, p.defaultPriority, p.startTime, p.untilTime, p.status, p.jobs, p.averagePpm}) {
    EXPECT_EQ(field, 0u);
  }
  EXPECT_EQ(memorySpooler.openHandles(), 0u) << "the new printer's handle is closed";
  EXPECT_THAT(pauses.pauses, ElementsAre(111u, 111u, 111u));
  EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(EngineTest, NewPrinterGetsTheFirstNameNoPrinterHas) {
  const struct {
    std::vector<std::string> existing;
    std::uint16_t language;
    const char* expected;
  } cases[] = {
      {{}, kEnglish, "RUD-80"},
      {{"RUD-80C", "RUD-8", "DUR-80"}, kEnglish, "RUD-80"},
      {{"RUD-80"}, kEnglish, "RUD-80 (copy 1)"},
      {{"RUD-80", "RUD-80 (copy 1)"}, kEnglish, "RUD-80 (copy 2)"},
      {{"RUD-80 (copy 1)", "RUD-80"}, kEnglish, "RUD-80 (copy 2)"},
      {{"RUD-80 (copy 2)", "RUD-80 (copy 1)", "RUD-80"}, kEnglish, "RUD-80 (copy 3)"},
      {{"RUD-80", "RUD-80 (copy 2)"}, kEnglish, "RUD-80 (copy 1)"},
      // The spooler does not tell names apart by letter case, so neither does the naming.
      {{"rud-80"}, kEnglish, "RUD-80 (copy 1)"},
      {{"Rud-80", "rud-80 (COPY 1)"}, kEnglish, "RUD-80 (copy 2)"},
      {{"RUD-80"}, kChinese, "RUD-80 (副本 1)"},
      {{"RUD-80 (副本 1)", "RUD-80", "RUD-80 (copy 2)"}, kChinese, "RUD-80 (副本 2)"},
      {{"RUD-80", "RUD-80 (copy 1)"}, kChinese, "RUD-80 (副本 1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    MemoryFiles freshFiles(files);
    MemorySpooler fresh(freshFiles);
    for (const std::string& name : c.existing) fresh.AddExistingPrinter(name);
    FixedSystemInfo machine;
    machine.uiLanguage = c.language;
    CDriverCatalog local(EngineServices{machine, fresh, freshFiles, messages, pauses, debug, printing});
    ASSERT_TRUE(local.InstallPrinter(0, 2, 0, "LPT1:"));
    EXPECT_EQ(local.m_printerName, c.expected);
    ASSERT_NE(fresh.FindPrinter(c.expected), nullptr);
    EXPECT_EQ(fresh.printers().back().printerName, c.expected);
    EXPECT_EQ(fresh.printers().size(), c.existing.size() + 1);
  }
  EXPECT_THAT(MessageTexts(), IsEmpty());
}

TEST_F(EngineTest, NamingWithoutAPrinterListKeepsTheModelName) {
  memorySpooler.listPrintersFailure = spooler_error::kAccessDenied;
  EXPECT_EQ(MakeUniquePrinterName(spooler, debug, "DIZ-76", kEnglish), "DIZ-76");
  EXPECT_THAT(debug.lines, IsEmpty());
}

TEST_F(EngineTest, NamingTellsTheDebuggerOfEveryClashAndTheFinalName) {
  memorySpooler.AddExistingPrinter("Office");
  memorySpooler.AddExistingPrinter("DUR-58 (copy 1)");
  memorySpooler.AddExistingPrinter("dur-58");
  EXPECT_EQ(MakeUniquePrinterName(spooler, debug, "DUR-58", kEnglish), "DUR-58 (copy 2)");
  EXPECT_THAT(debug.lines, ElementsAre("name=dur-58,i=-1,n=2.temStr=DUR-58 (copy 1),userLanguage=1033\r\n",
                                       "name=DUR-58 (copy 1),i=-1,n=3.temStr=DUR-58 (copy 2),userLanguage=1033\r\n",
                                       "name=dur-58,i=2,n=3.temStr=DUR-58 (copy 2),userLanguage=1033\r\n"));
}

TEST_F(EngineTest, DefaultPrinterOnlyWhenAsked) {
  memorySpooler.AddExistingPrinter("Office");
  memorySpooler.AddExistingPrinter("DUR-58");
  ASSERT_EQ(memorySpooler.MakeDefault("Office"), spooler_error::kSuccess);
  ASSERT_TRUE(catalog.InstallPrinter(0, 0, 0, "LPT1:"));
  EXPECT_EQ(memorySpooler.defaultPrinter(), "Office");
  ASSERT_TRUE(catalog.InstallPrinter(0, 0, 1, "LPT1:"));
  EXPECT_EQ(catalog.m_printerName, "DUR-58 (copy 2)");
  EXPECT_EQ(memorySpooler.defaultPrinter(), "DUR-58 (copy 2)");
}

// The printer is what the user installs for: when the spooler refuses it, the installation
// failed, however well the driver went.
TEST_F(EngineTest, RefusedPrinterFailsTheInstallationAfterCleaningUp) {
  memorySpooler.AddExistingPrinter("Office");
  ASSERT_EQ(memorySpooler.MakeDefault("Office"), spooler_error::kSuccess);
  EXPECT_FALSE(catalog.InstallPrinter(0, 5, 1, "USB009"));
  EXPECT_THAT(MessageTexts(), ElementsAre("The specified port is unknown.\r\n"));
  EXPECT_EQ(memorySpooler.FindPrinter("DIZ-76"), nullptr);
  EXPECT_NE(memorySpooler.FindDriver("DIZ-76", "Windows x64"), nullptr);
  EXPECT_EQ(memorySpooler.defaultPrinter(), "Office");
  for (const char* file : kUnidrvCoreFiles) {
    EXPECT_FALSE(files.HasFile(std::string(kDriverDirectory) + "\\" + file)) << file;
  }
  EXPECT_THAT(pauses.pauses, ElementsAre(111u, 111u, 111u));
}

TEST_F(EngineTest, DriverForAnotherProcessorOnlyFailsTheInstallation) {
  // A 32-bit driver set on a 64-bit machine registers, but no printer can use it.
  EXPECT_FALSE(catalog.InstallDriverAndPrinter(kX86Profile, 0, 2, "LPT1:"));
  EXPECT_THAT(MessageTexts(), ElementsAre("The printer driver is unknown.\r\n"));
  EXPECT_NE(memorySpooler.FindDriver("RUD-80", "Windows NT x86"), nullptr);
  EXPECT_EQ(memorySpooler.FindPrinter("RUD-80"), nullptr);
  EXPECT_FALSE(files.HasFile(std::string(kX86DriverDirectory) + "\\POS80.DLL"));
}

// Without the driver directory, the staged paths would name the root of the current drive.
TEST_F(EngineTest, UnknownDriverDirectoryStopsBeforeAnyFileIsTouched) {
  const struct {
    std::uint16_t language;
    const char* failed;
  } cases[] = {{kEnglish, "Install printer driver failed !"}, {kChinese, "安装打印机驱动过程发生错误！"}};
  memorySpooler.driverDirectoryFailure = spooler_error::kInsufficientBuffer;
  system.errorTexts[spooler_error::kInsufficientBuffer] = "The data area passed to a system call is too small.\r\n";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failed);
    system.uiLanguage = c.language;
    messages.calls.clear();
    EXPECT_FALSE(catalog.InstallPrinter(0, 2, 1, "LPT1:"));
    EXPECT_THAT(MessageTexts(), ElementsAre("The data area passed to a system call is too small.\r\n", c.failed));
  }
  EXPECT_THAT(files.log, IsEmpty());
  EXPECT_FALSE(files.HasFile("C:\\POS80.DLL"));
  EXPECT_THAT(memorySpooler.calls(), ElementsAre("DriverDirectory", "DriverDirectory"));
}

TEST_F(EngineTest, ModelOutsideTheTableInstallsNothing) {
  for (int model : {-1, 7}) {
    SCOPED_TRACE(model);
    EXPECT_FALSE(catalog.InstallPrinter(0, model, 1, "LPT1:"));
  }
  EXPECT_THAT(memorySpooler.calls(), IsEmpty());
  EXPECT_THAT(files.log, IsEmpty());
}

TEST_F(EngineTest, MessagesBelongToTheOwnerWindow) {
  int window = 0;
  catalog.SetOwnerWindow(&window);
  files.Delete("Windows x64\\POS58.GPD");
  EXPECT_FALSE(catalog.InstallPrinter(0, 0, 0, "LPT1:"));
  ASSERT_EQ(messages.calls.size(), 1u);
  EXPECT_EQ(messages.calls[0].owner, &window);
}

TEST_F(EngineTest, TestPageCarriesTextLogoNameAndTime) {
  const PageBitmap logo{reinterpret_cast<void*>(0x1234), 308, 87};
  const std::string text = TestPageText(kEnglish);
  EXPECT_TRUE(catalog.PrintTestPage("DUR-58 (copy 1)", logo, text));
  ASSERT_EQ(printing.documents.size(), 1u);
  const RecordingPrinting::Document& doc = printing.documents[0];
  EXPECT_EQ(doc.printerName, "DUR-58 (copy 1)");
  EXPECT_EQ(doc.documentName, "DUR-58 (copy 1)");
  EXPECT_TRUE(doc.ended);
  ASSERT_EQ(doc.pages.size(), 1u);
  EXPECT_TRUE(doc.pages[0].ended);
  const auto& d = doc.pages[0].drawings;
  ASSERT_EQ(d.size(), 4u);
  EXPECT_EQ(d[0].kind, RecordingPrinting::Drawing::kText);
  EXPECT_EQ(d[0].text, text);
  EXPECT_EQ(std::vector<int>({d[0].rect.left, d[0].rect.top, d[0].rect.right, d[0].rect.bottom}),
            std::vector<int>({10, 10, 400, 500}));
  EXPECT_EQ(d[0].format, 0x100u);
  EXPECT_EQ(d[1].kind, RecordingPrinting::Drawing::kBitmap) << "the logo is drawn over the text";
  EXPECT_EQ(d[1].bitmap.handle, logo.handle);
  EXPECT_EQ(std::vector<int>({d[1].x, d[1].y, d[1].bitmap.width, d[1].bitmap.height}),
            std::vector<int>({30, 20, 308, 87}));
  EXPECT_EQ(d[2].kind, RecordingPrinting::Drawing::kTextOut);
  EXPECT_EQ(std::vector<int>({d[2].x, d[2].y}), std::vector<int>({10, 430}));
  EXPECT_EQ(d[2].text, "DUR-58 (copy 1)");
  EXPECT_EQ(d[3].kind, RecordingPrinting::Drawing::kTextOut);
  EXPECT_EQ(std::vector<int>({d[3].x, d[3].y}), std::vector<int>({-20, 500}));
  EXPECT_EQ(d[3].text, "  2016-03-05 09:07:03");
  EXPECT_EQ(printing.opened, 1);
  EXPECT_EQ(printing.deleted, 1);
}

TEST_F(EngineTest, TestPageTimeStampPadsEveryFieldButTheYear) {
  const struct {
    LocalDateTime time;
    const char* stamp;
  } cases[] = {
      {{2024, 1, 2, 3, 4, 5}, "  2024-01-02 03:04:05"},
      {{2009, 7, 8, 0, 0, 9}, "  2009-07-08 00:00:09"},
      {{2024, 12, 31, 23, 59, 58}, "  2024-12-31 23:59:58"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stamp);
    printing.documents.clear();
    system.now = c.time;
    catalog.PrintTestPage("RUD-80", {}, TestPageText(kChinese));
    ASSERT_EQ(printing.documents.size(), 1u);
    EXPECT_EQ(printing.documents[0].pages[0].drawings.back().text, c.stamp);
  }
}

TEST(TestPageText, IsTheWordingOfTheLanguageBlankForBlank) {
  const std::string chinese =
      "               .  \r\n\r\n\r\n\r\n\r\n        恭喜！      \r\n如果您可以读取这个 \r\n信息，说明打印机驱 \r\n动已经安装成功了！  "
      "\r\n感谢您的使用！  \r\n\r\n打印机名称：\r\n\r\n\r\n\r\n\r\n   ** 测试页结束 **\r\n";
  const std::string english =
      "               .  \r\n\r\n\r\n\r\n\r\n  Congratulations !   \r\nIf you can read this\r\ninformation you have "
      "\r\nsucceed intall this\r\nprinter driver !  \r\n\r\nPrinter Name:\r\n\r\n\r\n\r\n\r\n ** Test page end **\r\n";
  const struct {
    std::uint16_t language;
    const std::string& text;
  } cases[] = {{0x0804, chinese}, {0x0409, english}, {0x0404, english}, {0x0C04, english}, {0, english}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.language);
    EXPECT_EQ(TestPageText(c.language), c.text);
  }
}

TEST_F(EngineTest, PrinterThatCannotBeOpenedGivesNoPageAndNoMessage) {
  printing.unavailable.insert("RUD-80");
  EXPECT_FALSE(catalog.PrintTestPage("RUD-80", {}, TestPageText(kEnglish)));
  EXPECT_THAT(printing.documents, IsEmpty());
  EXPECT_THAT(messages.calls, IsEmpty());
}

}  // namespace
}  // namespace velmara::testing
