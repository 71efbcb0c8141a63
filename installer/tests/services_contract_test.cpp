// What the installer relies on from the disk and the print spooler, checked against the
// in-memory stand-ins and, under Wine, against the real services. Where Wine is more lenient
// than Windows, the stand-ins follow Windows and the case says so.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/case_fold.h"
#include "service_backends.h"
#ifdef _WIN32
#include <windows.h>

#include "platform/win32_files.h"
#endif

namespace velmara::testing {
namespace {

using ::testing::ElementsAre;

class FilesContract : public ::testing::TestWithParam<MachineBackend> {
 protected:
  void SetUp() override {
    machine_ = GetParam().make();
    scratch_ = machine_->ScratchFolder();
  }
  Files& files() { return machine_->files(); }
  std::string At(const std::string& name) { return scratch_ + "\\" + name; }

  std::unique_ptr<MachineUnderTest> machine_;
  std::string scratch_;
};

TEST_P(FilesContract, CopyReplacesTheTargetUnlessTold) {
  machine_->PutFile(At("a.txt"), "one");
  machine_->PutFile(At("b.txt"), "two");
  EXPECT_EQ(files().Copy(At("a.txt"), At("b.txt"), false), file_error::kSuccess);
  EXPECT_EQ(machine_->FileContents(At("b.txt")), "one");
  machine_->PutFile(At("c.txt"), "three");
  EXPECT_EQ(files().Copy(At("c.txt"), At("b.txt"), true), file_error::kFileExists);
  EXPECT_EQ(machine_->FileContents(At("b.txt")), "one");
}

TEST_P(FilesContract, CopyFailuresAsTheSystemNamesThem) {
  machine_->PutFile(At("a.txt"), "one");
  EXPECT_EQ(files().Copy(At("missing.txt"), At("b.txt"), false), file_error::kFileNotFound);
  EXPECT_EQ(files().Copy(At("no folder\\a.txt"), At("b.txt"), false), file_error::kPathNotFound);
  EXPECT_EQ(files().Copy(At("a.txt"), At("no folder\\a.txt"), false), file_error::kPathNotFound);
  EXPECT_FALSE(files().Exists(At("b.txt")));
}

TEST_P(FilesContract, NamesIgnoreLetterCase) {
  machine_->PutFile(At("Mixed.Txt"), "one");
  EXPECT_TRUE(files().Exists(At("MIXED.TXT")));
  EXPECT_EQ(files().Copy(At("mixed.txt"), At("COPY.TXT"), false), file_error::kSuccess);
  EXPECT_TRUE(files().Exists(At("copy.txt")));
  EXPECT_EQ(files().Delete(At("copy.TXT")), file_error::kSuccess);
  EXPECT_FALSE(files().Exists(At("COPY.TXT")));
}

TEST_P(FilesContract, DeletingWhatIsNotThere) {
  EXPECT_EQ(files().Delete(At("missing.txt")), file_error::kFileNotFound);
  EXPECT_EQ(files().Delete(At("no folder\\missing.txt")), file_error::kPathNotFound);
}

TEST_P(FilesContract, RelativePathsStartAtTheCurrentDirectory) {
  machine_->PutFile(At("medium\\Windows x64\\POS80.DLL"), "driver");
  machine_->PutFile(At("target\\keep.txt"), "");
  machine_->EnterFolder(At("medium"));
  EXPECT_TRUE(files().Exists("Windows x64\\POS80.DLL"));
  EXPECT_EQ(files().Copy("Windows x64\\POS80.DLL", At("target\\POS80.DLL"), false), file_error::kSuccess);
  EXPECT_EQ(machine_->FileContents(At("target\\POS80.DLL")), "driver");
}

TEST_P(FilesContract, NamesBeyondTheAnsiCodePage) {
  machine_->PutFile(At("打印机.txt"), "中文");
  EXPECT_TRUE(files().Exists(At("打印机.txt")));
  EXPECT_EQ(files().Copy(At("打印机.txt"), At("副本.txt"), false), file_error::kSuccess);
  EXPECT_EQ(machine_->FileContents(At("副本.txt")), "中文");
}

TEST_P(FilesContract, AppendMakesTheFileThenAddsToItsEnd) {
  EXPECT_EQ(files().Append(At("till.log"), "one\r\n"), file_error::kSuccess);
  EXPECT_EQ(files().Append(At("TILL.LOG"), "二\r\n"), file_error::kSuccess);
  EXPECT_EQ(machine_->FileContents(At("till.log")), "one\r\n二\r\n");
  EXPECT_EQ(files().Append(At("no folder\\till.log"), "x"), file_error::kPathNotFound);
  EXPECT_FALSE(files().Exists(At("no folder")));
  machine_->PutFile(At("logs\\keep.txt"), "");
  EXPECT_EQ(files().Append(At("logs"), "x"), file_error::kAccessDenied);
}

TEST_P(FilesContract, AppendTakesPathsLongerThanMaxPath) {
  const std::string deep = At(std::string(100, 'd'));
  const std::string deeper = deep + "\\" + std::string(100, 'e') + "\\" + std::string(100, 'f');
  ASSERT_GT(deeper.size(), 300u);
  machine_->PutFile(deeper + "\\keep.txt", "");
  EXPECT_EQ(files().Append(deeper + "\\till.log", "far\r\n"), file_error::kSuccess);
  EXPECT_EQ(files().Append(deeper + "\\till.log", "farther\r\n"), file_error::kSuccess);
  EXPECT_EQ(machine_->FileContents(deeper + "\\till.log"), "far\r\nfarther\r\n");
  // Short, but long once the current directory is put in front.
  machine_->EnterFolder(deep);
  EXPECT_EQ(files().Append(std::string(100, 'e') + "\\" + std::string(100, 'f') + "\\near.log", "near"),
            file_error::kSuccess);
  EXPECT_EQ(machine_->FileContents(deeper + "\\near.log"), "near");
}

#ifdef _WIN32
// Wine takes a path past MAX_PATH as it is; Windows only in the \\?\ form, which the adapter makes.
TEST(Win32Files, APathOfMaxPathCharactersOrMoreGoesInItsLongForm) {
  const std::string a(150, 'a'), b(150, 'b');
  std::vector<wchar_t> current(GetCurrentDirectoryW(0, nullptr));
  GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
  const std::wstring here(current.data());
  const auto wide = [](const std::string& text) { return std::wstring(text.begin(), text.end()); };
  const struct {
    std::string path;
    std::wstring expected;
  } cases[] = {
      {"C:\\logs\\till.log", L"C:\\logs\\till.log"},
      {"till.log", L"till.log"},
      {"C:\\" + a + "\\" + b + "\\till.log", L"\\\\?\\C:\\" + wide(a) + L"\\" + wide(b) + L"\\till.log"},
      {"C:/" + a + "/x/../" + b + "/till.log", L"\\\\?\\C:\\" + wide(a) + L"\\" + wide(b) + L"\\till.log"},
      {"\\\\server\\share\\" + a + "\\" + b, L"\\\\?\\UNC\\server\\share\\" + wide(a) + L"\\" + wide(b)},
      {"\\\\?\\C:\\" + a + "\\" + b, L"\\\\?\\C:\\" + wide(a) + L"\\" + wide(b)},
      {a + "\\" + b, L"\\\\?\\" + here + (here.back() == L'\\' ? L"" : L"\\") + wide(a) + L"\\" + wide(b)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path.substr(0, 40));
    EXPECT_TRUE(SystemPath(c.path) == c.expected);
  }
}
#endif

INSTANTIATE_TEST_SUITE_P(Backends, FilesContract, ::testing::ValuesIn(MachineBackends()),
                         [](const auto& param) { return param.param.name; });

// A driver of placeholder files and the printers made with it; every test starts and ends
// without them.
const char kDriver[] = "Velmara Contract Driver";
const char kPrinter[] = "Velmara Contract Printer";
const char* const kDriverFiles[] = {"VCDRV.DLL", "VCUI.DLL", "VCDATA.GPD", "VCHELP.HLP", "VCDEP1.GPD", "VCDEP2.DLL"};

class SpoolerContract : public ::testing::TestWithParam<MachineBackend> {
 protected:
  void SetUp() override {
    machine_ = GetParam().make();
    native_ = machine_->NativeEnvironment();
    foreign_ = native_ == "Windows x64" ? "Windows NT x86" : "Windows x64";
    previousDefault_ = machine_->DefaultPrinter();
    Clean();
  }
  void TearDown() override {
    Clean();
    if (!previousDefault_.empty()) spooler().MakeDefault(previousDefault_);
  }
  void Clean() {
    for (const std::string& name : {std::string(kPrinter), std::string("VELMARA CONTRACT PRINTER"),
                                    std::string(kPrinter) + " 2", std::string(kPrinter) + " 3"}) {
      machine_->RemovePrinter(name);
    }
    for (const std::string& environment : {native_, foreign_}) {
      machine_->RemoveDriver(kDriver, environment);
      std::string directory;
      if (spooler().DriverDirectory(environment, &directory) != spooler_error::kSuccess) continue;
      for (const char* file : kDriverFiles) {
        machine_->files().Delete(directory + "\\" + file);
        machine_->files().Delete(directory + "\\3\\" + file);
      }
    }
  }

  Spooler& spooler() { return machine_->spooler(); }

  std::string DriverDirectory(const std::string& environment) {
    std::string directory;
    EXPECT_EQ(spooler().DriverDirectory(environment, &directory), spooler_error::kSuccess) << environment;
    return directory;
  }

  void StageDriverFiles(const std::string& environment, const std::string& leaveOut = std::string()) {
    const std::string directory = DriverDirectory(environment);
    for (const char* file : kDriverFiles) {
      if (file != leaveOut) machine_->PutFile(directory + "\\" + file, std::string("placeholder ") + file);
    }
  }

  DriverInfo3 Driver(const std::string& environment) {
    DriverInfo3 d;
    d.version = 3;
    d.name = kDriver;
    d.environment = environment;
    d.driverPath = "vcDRV.DLL";
    d.dataFile = "VCDATA.GPD";
    d.configFile = "VCUI.DLL";
    d.helpFile = "VCHELP.HLP";
    d.dependentFiles = std::string("VCDEP1.GPD\0VCDEP2.DLL\0\0\0", 25);
    d.defaultDataType = "RAW";
    return d;
  }

  SpoolerStatus RegisterDriver(const std::string& environment) {
    StageDriverFiles(environment);
    return spooler().AddDriver(Driver(environment));
  }

  // The driver of the machine's own environment, which its printers are made with. Where Wine's
  // spooler looks under a 32-bit caller's environment instead, the test registers it there too.
  SpoolerStatus RegisterDriverForPrinters() {
    const SpoolerStatus status = RegisterDriver(native_);
    if (status != spooler_error::kSuccess || !machine_->LooksUpDriversUnderTheCallersEnvironment()) return status;
    return RegisterDriver(foreign_);
  }

  PrinterInfo2 Printer(const std::string& name, const std::string& port = "LPT1:",
                       const std::string& driver = kDriver) {
    PrinterInfo2 p;
    p.printerName = name;
    p.portName = port;
    p.driverName = driver;
    p.printProcessor = "WinPrint";
    p.dataType = "RAW";
    p.attributes = kPrinterAttributeLocal;
    return p;
  }

  // AddQueue, closing the handle it gives.
  SpoolerStatus Add(const PrinterInfo2& printer) {
    PrinterHandle handle = nullptr;
    const SpoolerStatus status = spooler().AddQueue(printer, &handle);
    if (status == spooler_error::kSuccess) {
      EXPECT_NE(handle, nullptr);
      EXPECT_EQ(spooler().ClosePrinter(handle), spooler_error::kSuccess);
    }
    return status;
  }

  std::vector<std::string> PrinterNames() {
    std::vector<PrinterInfo2> printers;
    EXPECT_EQ(spooler().ListPrinters(kPrinterEnumLocal | kPrinterEnumConnections, &printers), spooler_error::kSuccess);
    std::vector<std::string> names;
    for (const PrinterInfo2& p : printers) names.push_back(p.printerName);
    return names;
  }

  static std::string FileName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }
  static std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

  std::unique_ptr<MachineUnderTest> machine_;
  std::string native_;
  std::string foreign_;
  std::string previousDefault_;
};

TEST_P(SpoolerContract, EachEnvironmentHasItsDriverDirectory) {
  const std::string native = DriverDirectory(native_);
  const std::string foreign = DriverDirectory(foreign_);
  for (const std::string& directory : {native, foreign}) {
    ASSERT_GE(directory.size(), 3u);
    EXPECT_EQ(directory.substr(1, 2), ":\\") << directory << " is not an absolute path";
    EXPECT_TRUE(machine_->files().Exists(directory)) << directory;
  }
  EXPECT_FALSE(EqualIgnoringCase(native, foreign));
  std::string untouched = "untouched";
  EXPECT_EQ(spooler().DriverDirectory("Windows 3.11", &untouched), spooler_error::kInvalidEnvironment);
  EXPECT_EQ(untouched, "untouched");
}

TEST_P(SpoolerContract, RegisteredDriverReadsBackFromItsVersionFolder) {
  ASSERT_EQ(RegisterDriver(native_), spooler_error::kSuccess);
  RegisteredDriver d;
  ASSERT_TRUE(machine_->ReadDriver(kDriver, native_, &d));
  EXPECT_EQ(d.version, 3u);
  EXPECT_EQ(d.name, kDriver);
  EXPECT_EQ(d.environment, native_);
  const std::string versionFolder = DriverDirectory(native_) + "\\3";
  for (const std::string& path : {d.driverPath, d.dataFile, d.configFile, d.helpFile}) {
    EXPECT_TRUE(EqualIgnoringCase(Folder(path), versionFolder)) << path;
    EXPECT_TRUE(machine_->files().Exists(path)) << path;
  }
  EXPECT_TRUE(EqualIgnoringCase(FileName(d.driverPath), "VCDRV.DLL")) << d.driverPath;
  EXPECT_TRUE(EqualIgnoringCase(FileName(d.dataFile), "VCDATA.GPD")) << d.dataFile;
  EXPECT_TRUE(EqualIgnoringCase(FileName(d.configFile), "VCUI.DLL")) << d.configFile;
  EXPECT_TRUE(EqualIgnoringCase(FileName(d.helpFile), "VCHELP.HLP")) << d.helpFile;
  ASSERT_EQ(d.dependentFiles.size(), 2u) << "the first empty name ends the list";
  EXPECT_TRUE(EqualIgnoringCase(FileName(d.dependentFiles[0]), "VCDEP1.GPD")) << d.dependentFiles[0];
  EXPECT_TRUE(EqualIgnoringCase(FileName(d.dependentFiles[1]), "VCDEP2.DLL")) << d.dependentFiles[1];
  EXPECT_EQ(d.defaultDataType, "RAW");
  // Registering the same driver again replaces it.
  EXPECT_EQ(spooler().AddDriver(Driver(native_)), spooler_error::kSuccess);
}

TEST_P(SpoolerContract, DriverWhoseFileIsMissingIsRefused) {
  for (const char* missing : kDriverFiles) {
    SCOPED_TRACE(missing);
    Clean();
    StageDriverFiles(native_, missing);
    const SpoolerStatus status = spooler().AddDriver(Driver(native_));
    RegisteredDriver d;
    const bool registered = machine_->ReadDriver(kDriver, native_, &d);
    if (machine_->IsWine()) {
      EXPECT_EQ(status, spooler_error::kSuccess)
          << "Wine registers a driver whose files are not in the driver directory; Windows refuses it";
    } else {
      EXPECT_EQ(status, spooler_error::kFileNotFound);
      EXPECT_FALSE(registered);
    }
  }
}

TEST_P(SpoolerContract, PrinterReadsBackAndIsListed) {
  ASSERT_EQ(RegisterDriverForPrinters(), spooler_error::kSuccess);
  ASSERT_EQ(Add(Printer(kPrinter)), spooler_error::kSuccess);
  PrinterInfo2 p;
  ASSERT_TRUE(machine_->ReadPrinter(kPrinter, &p));
  EXPECT_EQ(p.printerName, kPrinter);
  EXPECT_EQ(p.portName, "LPT1:");
  EXPECT_EQ(p.driverName, kDriver);
  EXPECT_TRUE(EqualIgnoringCase(p.printProcessor, "WinPrint")) << p.printProcessor;
  EXPECT_EQ(p.dataType, "RAW");
  EXPECT_NE(p.attributes & kPrinterAttributeLocal, 0u);
  const std::vector<std::string> names = PrinterNames();
  EXPECT_EQ(std::count(names.begin(), names.end(), kPrinter), 1);
}

TEST_P(SpoolerContract, NameThatAPrinterHasInAnyCaseIsRefused) {
  ASSERT_EQ(RegisterDriverForPrinters(), spooler_error::kSuccess);
  ASSERT_EQ(Add(Printer(kPrinter)), spooler_error::kSuccess);
  const SpoolerStatus sameName = Add(Printer(kPrinter));
  const SpoolerStatus otherCase = Add(Printer("VELMARA CONTRACT PRINTER"));
  if (machine_->IsWine()) {
    EXPECT_EQ(sameName, spooler_error::kSuccess) << "Wine accepts a name a printer already has; Windows refuses it";
    EXPECT_EQ(otherCase, spooler_error::kSuccess)
        << "Wine accepts a name that differs from a printer's only in letter case; Windows refuses it";
  } else {
    EXPECT_EQ(sameName, spooler_error::kPrinterAlreadyExists);
    EXPECT_EQ(otherCase, spooler_error::kPrinterAlreadyExists);
  }
}

TEST_P(SpoolerContract, PortTheMachineDoesNotHaveIsRefused) {
  ASSERT_EQ(RegisterDriverForPrinters(), spooler_error::kSuccess);
  const SpoolerStatus status = Add(Printer(kPrinter, "VELMARA9:"));
  if (machine_->IsWine()) {
    EXPECT_EQ(status, spooler_error::kSuccess) << "Wine accepts a port it does not know; Windows refuses it";
  } else {
    EXPECT_EQ(status, spooler_error::kUnknownPort);
  }
}

TEST_P(SpoolerContract, DriverTheMachineCannotRunIsRefused) {
  EXPECT_EQ(Add(Printer(kPrinter, "LPT1:", "Velmara No Such Driver")), spooler_error::kUnknownPrinterDriver);
  // A driver registered for the other processor only serves other machines.
  ASSERT_EQ(RegisterDriver(foreign_), spooler_error::kSuccess);
  const SpoolerStatus status = Add(Printer(kPrinter));
  PrinterInfo2 p;
  if (machine_->LooksUpDriversUnderTheCallersEnvironment()) {
    EXPECT_EQ(status, spooler_error::kSuccess)
        << "Wine makes a 32-bit caller's printer with the driver of the caller's environment; Windows refuses it";
  } else {
    EXPECT_EQ(status, spooler_error::kUnknownPrinterDriver);
    EXPECT_FALSE(machine_->ReadPrinter(kPrinter, &p));
  }
}

TEST_P(SpoolerContract, PrintersAreMadeWithTheDriverOfTheMachinesOwnEnvironment) {
  // What a 32-bit installer on 64-bit Windows relies on: it registers the 64-bit driver, and the
  // spooler makes the printer with it.
  ASSERT_EQ(RegisterDriver(native_), spooler_error::kSuccess);
  const SpoolerStatus status = Add(Printer(kPrinter));
  if (machine_->LooksUpDriversUnderTheCallersEnvironment()) {
    EXPECT_EQ(status, spooler_error::kUnknownPrinterDriver)
        << "Wine looks for a 32-bit caller's driver under the caller's environment; Windows' spooler under its own";
  } else {
    EXPECT_EQ(status, spooler_error::kSuccess);
    PrinterInfo2 p;
    ASSERT_TRUE(machine_->ReadPrinter(kPrinter, &p));
    EXPECT_EQ(p.driverName, kDriver);
  }
}

TEST_P(SpoolerContract, DefaultPrinterIsOneThatExists) {
  ASSERT_EQ(RegisterDriverForPrinters(), spooler_error::kSuccess);
  ASSERT_EQ(Add(Printer(kPrinter)), spooler_error::kSuccess);
  EXPECT_EQ(spooler().MakeDefault(kPrinter), spooler_error::kSuccess);
  EXPECT_EQ(machine_->DefaultPrinter(), kPrinter);
  EXPECT_EQ(spooler().MakeDefault("Velmara No Such Printer"), spooler_error::kInvalidPrinterName);
  EXPECT_EQ(machine_->DefaultPrinter(), kPrinter);
}

INSTANTIATE_TEST_SUITE_P(Backends, SpoolerContract, ::testing::ValuesIn(MachineBackends()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace velmara::testing
