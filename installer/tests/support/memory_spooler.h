#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "memory_files.h"
#include "platform/spooler.h"

namespace velmara {

// An in-memory print spooler that refuses what Windows refuses: a printer name that another
// printer already has, in any letter case; a port the machine does not have; a driver not
// registered for the machine's own environment; a driver whose files are not where the
// spooler looks. Its driver files live on a MemoryFiles disk, under
// C:\WINDOWS\system32\spool\drivers.
class MemorySpooler final : public Spooler {
 public:
  // A registered driver as GetPrinterDriverW level 3 reports it: file names with the path of
  // the version folder the spooler copied them to.
  struct InstalledDriver {
    std::uint32_t version = 0;
    std::string name;
    std::string environment;
    std::string driverPath;
    std::string dataFile;
    std::string configFile;
    std::string helpFile;
    std::vector<std::string> dependentFiles;
    std::string monitorName;
    std::string defaultDataType;
  };

  // |nativeEnvironment| is the environment of the machine ("Windows x64" or "Windows NT x86").
  explicit MemorySpooler(MemoryFiles& files, std::string nativeEnvironment = "Windows x64");

  SpoolerStatus DriverDirectory(const std::string& environment, std::string* directory) override;
  SpoolerStatus AddDriver(const DriverInfo3& driver) override;
  SpoolerStatus ListPrinters(std::uint32_t flags, std::vector<PrinterInfo2>* printers) override;
  SpoolerStatus AddQueue(const PrinterInfo2& printer, PrinterHandle* handle) override;
  SpoolerStatus ClosePrinter(PrinterHandle handle) override;
  SpoolerStatus MakeDefault(const std::string& printerName) override;

  // Setting up and looking.
  void AddPort(const std::string& port);
  // A printer that was there before, without the checks of AddQueue.
  void AddExistingPrinter(const std::string& name, const std::string& port = "LPT1:",
                          const std::string& driver = "Generic / Text Only");
  const PrinterInfo2* FindPrinter(const std::string& name) const;
  const InstalledDriver* FindDriver(const std::string& name, const std::string& environment) const;
  bool RemovePrinter(const std::string& name);
  bool RemoveDriver(const std::string& name, const std::string& environment);
  const std::vector<PrinterInfo2>& printers() const { return printers_; }
  const std::string& defaultPrinter() const { return defaultPrinter_; }
  std::size_t openHandles() const { return openHandles_.size(); }
  // The spooler operations called, by name ("DriverDirectory", "AddDriver", ...), in order.
  const std::vector<std::string>& calls() const { return calls_; }

  // A failure to answer with instead of doing the operation; 0 does the operation.
  SpoolerStatus driverDirectoryFailure = 0;
  SpoolerStatus addDriverFailure = 0;
  SpoolerStatus listPrintersFailure = 0;
  SpoolerStatus addQueueFailure = 0;
  SpoolerStatus makeDefaultFailure = 0;

 private:
  // The folder under the driver root for an environment; empty for an unknown one.
  static std::string EnvironmentFolder(const std::string& environment);
  std::vector<PrinterInfo2>::iterator Printer(const std::string& name);

  MemoryFiles& files_;
  std::string nativeEnvironment_;
  std::vector<std::string> ports_;
  std::vector<PrinterInfo2> printers_;
  std::vector<InstalledDriver> drivers_;
  std::string defaultPrinter_;
  std::set<std::uintptr_t> openHandles_;
  std::uintptr_t nextHandle_ = 0x100;
  std::vector<std::string> calls_;
};

}  // namespace velmara
