#include "service_backends.h"

#include "support/memory_files.h"
#include "support/memory_spooler.h"

namespace velmara::testing {

namespace {

class MemoryMachine final : public MachineUnderTest {
 public:
  MemoryMachine() : files_("C:\\medium"), spooler_(files_) {}

  Files& files() override { return files_; }
  Spooler& spooler() override { return spooler_; }

  std::string ScratchFolder() override {
    files_.AddDirectory("C:\\scratch");
    return "C:\\scratch";
  }
  void PutFile(const std::string& path, const std::string& contents) override { files_.AddFile(path, contents); }
  std::string FileContents(const std::string& path) override { return files_.Contents(path); }
  void EnterFolder(const std::string& path) override { files_.ChangeDirectory(path); }

  std::string NativeEnvironment() override { return "Windows x64"; }
  bool ReadDriver(const std::string& name, const std::string& environment, RegisteredDriver* out) override {
    const MemorySpooler::InstalledDriver* d = spooler_.FindDriver(name, environment);
    if (d == nullptr) return false;
    *out = *d;
    return true;
  }
  bool ReadPrinter(const std::string& name, PrinterInfo2* out) override {
    const PrinterInfo2* p = spooler_.FindPrinter(name);
    if (p == nullptr) return false;
    *out = *p;
    return true;
  }
  std::string DefaultPrinter() override { return spooler_.defaultPrinter(); }
  void RemovePrinter(const std::string& name) override { spooler_.RemovePrinter(name); }
  void RemoveDriver(const std::string& name, const std::string& environment) override {
    spooler_.RemoveDriver(name, environment);
  }
  bool IsWine() const override { return false; }
  bool LooksUpDriversUnderTheCallersEnvironment() const override { return false; }

 private:
  MemoryFiles files_;
  MemorySpooler spooler_;
};

}  // namespace

std::unique_ptr<MachineUnderTest> MakeMemoryMachine() { return std::make_unique<MemoryMachine>(); }

std::vector<MachineBackend> MachineBackends() {
  std::vector<MachineBackend> backends{{"Memory", MakeMemoryMachine}};
#ifdef _WIN32
  backends.push_back({"Win32", MakeWin32Machine});
#endif
  return backends;
}

}  // namespace velmara::testing
