#include <string>

#include "platform/win32_files.h"
#include "platform/win32_spooler.h"
#include "service_backends.h"
#include "win32_readback.h"

namespace velmara::testing {

namespace {

class Win32Machine final : public MachineUnderTest {
 public:
  ~Win32Machine() override {
    if (!previousFolder_.empty()) SetCurrentFolder(previousFolder_);
    if (!scratch_.empty()) RemoveFolderTree(scratch_);
  }

  Files& files() override { return files_; }
  Spooler& spooler() override { return spooler_; }

  std::string ScratchFolder() override {
    if (scratch_.empty()) scratch_ = MakeTemporaryFolder("machine");
    return scratch_;
  }
  void PutFile(const std::string& path, const std::string& contents) override { WriteFileBytes(path, contents); }
  std::string FileContents(const std::string& path) override { return ReadFileBytes(path); }
  void EnterFolder(const std::string& path) override {
    if (previousFolder_.empty()) previousFolder_ = CurrentFolder();
    SetCurrentFolder(path);
  }

  std::string NativeEnvironment() override { return Win32NativeEnvironment(); }
  bool ReadDriver(const std::string& name, const std::string& environment, RegisteredDriver* driver) override {
    return EnumeratedDriver(name, environment, driver);
  }
  bool ReadPrinter(const std::string& name, PrinterInfo2* printer) override { return PrinterRecord(name, printer); }
  std::string DefaultPrinter() override { return CurrentDefaultPrinter(); }
  void RemovePrinter(const std::string& name) override { DeletePrinterNamed(name); }
  void RemoveDriver(const std::string& name, const std::string& environment) override {
    DeleteDriverNamed(name, environment);
  }
  bool IsWine() const override { return RunningUnderWine(); }
  bool LooksUpDriversUnderTheCallersEnvironment() const override { return WineSpoolerUsesTheCallersEnvironment(); }

 private:
  Win32Files files_;
  Win32Spooler spooler_;
  std::string scratch_;
  std::string previousFolder_;
};

}  // namespace

std::unique_ptr<MachineUnderTest> MakeWin32Machine() { return std::make_unique<Win32Machine>(); }

}  // namespace velmara::testing
