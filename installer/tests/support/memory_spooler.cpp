#include "memory_spooler.h"

#include <algorithm>
#include <utility>

#include "platform/case_fold.h"

namespace velmara {

namespace {

const char kDriverRoot[] = "C:\\WINDOWS\\system32\\spool\\drivers";
// The folder of version 3 (user-mode) drivers, below an environment's driver directory.
const char kVersionFolder[] = "3";

}  // namespace

MemorySpooler::MemorySpooler(MemoryFiles& files, std::string nativeEnvironment)
    : files_(files),
      nativeEnvironment_(std::move(nativeEnvironment)),
      ports_{"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:"} {
  for (const char* environment : {"Windows NT x86", "Windows x64", "Windows IA64"}) {
    files_.AddDirectory(std::string(kDriverRoot) + "\\" + EnvironmentFolder(environment) + "\\" + kVersionFolder);
  }
}

std::string MemorySpooler::EnvironmentFolder(const std::string& environment) {
  if (EqualIgnoringCase(environment, "Windows NT x86")) return "W32X86";
  if (EqualIgnoringCase(environment, "Windows x64")) return "x64";
  if (EqualIgnoringCase(environment, "Windows IA64")) return "IA64";
  return std::string();
}

SpoolerStatus MemorySpooler::DriverDirectory(const std::string& environment, std::string* directory) {
  calls_.push_back("DriverDirectory");
  if (driverDirectoryFailure != 0) return driverDirectoryFailure;
  const std::string folder = EnvironmentFolder(environment);
  if (folder.empty()) return spooler_error::kInvalidEnvironment;
  *directory = std::string(kDriverRoot) + "\\" + folder;
  return spooler_error::kSuccess;
}

SpoolerStatus MemorySpooler::AddDriver(const DriverInfo3& driver) {
  calls_.push_back("AddDriver");
  if (addDriverFailure != 0) return addDriverFailure;
  const std::string folder = EnvironmentFolder(driver.environment);
  if (folder.empty()) return spooler_error::kInvalidEnvironment;
  if (driver.name.empty() || driver.driverPath.empty() || driver.dataFile.empty() || driver.configFile.empty()) {
    return spooler_error::kInvalidParameter;
  }
  const std::string directory = std::string(kDriverRoot) + "\\" + folder;
  const std::string versionDirectory = directory + "\\" + kVersionFolder;

  std::vector<std::string> sources{driver.driverPath, driver.dataFile, driver.configFile};
  if (!driver.helpFile.empty()) sources.push_back(driver.helpFile);
  const std::vector<std::string> dependents = SplitMultiString(driver.dependentFiles);
  sources.insert(sources.end(), dependents.begin(), dependents.end());
  const auto bare = [](const std::string& path) { return path.find_first_of("\\/:") == std::string::npos; };
  const auto source = [&](const std::string& path) { return bare(path) ? directory + "\\" + path : path; };
  for (const std::string& path : sources) {
    if (!files_.HasFile(source(path))) return spooler_error::kFileNotFound;
  }
  const auto installed = [&](const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return versionDirectory + "\\" + (slash == std::string::npos ? path : path.substr(slash + 1));
  };
  for (const std::string& path : sources) files_.AddFile(installed(path), files_.Contents(source(path)));

  InstalledDriver record;
  record.version = driver.version;
  record.name = driver.name;
  record.environment = driver.environment;
  record.driverPath = installed(driver.driverPath);
  record.dataFile = installed(driver.dataFile);
  record.configFile = installed(driver.configFile);
  record.helpFile = driver.helpFile.empty() ? std::string() : installed(driver.helpFile);
  for (const std::string& dependent : dependents) record.dependentFiles.push_back(installed(dependent));
  record.monitorName = driver.monitorName;
  record.defaultDataType = driver.defaultDataType;
  // Registering a driver again replaces it.
  RemoveDriver(driver.name, driver.environment);
  drivers_.push_back(std::move(record));
  return spooler_error::kSuccess;
}

SpoolerStatus MemorySpooler::ListPrinters(std::uint32_t flags, std::vector<PrinterInfo2>* printers) {
  calls_.push_back("ListPrinters");
  if (listPrintersFailure != 0) return listPrintersFailure;
  printers->clear();
  if ((flags & kPrinterEnumLocal) != 0) *printers = printers_;
  return spooler_error::kSuccess;
}

SpoolerStatus MemorySpooler::AddQueue(const PrinterInfo2& printer, PrinterHandle* handle) {
  calls_.push_back("AddQueue");
  if (addQueueFailure != 0) return addQueueFailure;
  if (printer.printerName.empty() || printer.printerName.find_first_of(",\\") != std::string::npos) {
    return spooler_error::kInvalidPrinterName;
  }
  if (Printer(printer.printerName) != printers_.end()) return spooler_error::kPrinterAlreadyExists;
  if (std::none_of(ports_.begin(), ports_.end(),
                   [&](const std::string& port) { return EqualIgnoringCase(port, printer.portName); })) {
    return spooler_error::kUnknownPort;
  }
  if (FindDriver(printer.driverName, nativeEnvironment_) == nullptr) return spooler_error::kUnknownPrinterDriver;
  if (!EqualIgnoringCase(printer.printProcessor, "WinPrint")) return spooler_error::kUnknownPrintProcessor;
  printers_.push_back(printer);
  const std::uintptr_t id = nextHandle_++;
  openHandles_.insert(id);
  *handle = reinterpret_cast<PrinterHandle>(id);
  return spooler_error::kSuccess;
}

SpoolerStatus MemorySpooler::ClosePrinter(PrinterHandle handle) {
  calls_.push_back("ClosePrinter");
  if (openHandles_.erase(reinterpret_cast<std::uintptr_t>(handle)) == 0) return 6;  // ERROR_INVALID_HANDLE
  return spooler_error::kSuccess;
}

SpoolerStatus MemorySpooler::MakeDefault(const std::string& printerName) {
  calls_.push_back("MakeDefault");
  if (makeDefaultFailure != 0) return makeDefaultFailure;
  if (Printer(printerName) == printers_.end()) return spooler_error::kInvalidPrinterName;
  defaultPrinter_ = printerName;
  return spooler_error::kSuccess;
}

void MemorySpooler::AddPort(const std::string& port) { ports_.push_back(port); }

void MemorySpooler::AddExistingPrinter(const std::string& name, const std::string& port, const std::string& driver) {
  PrinterInfo2 printer;
  printer.printerName = name;
  printer.portName = port;
  printer.driverName = driver;
  printer.printProcessor = "WinPrint";
  printer.dataType = "RAW";
  printer.attributes = kPrinterAttributeLocal;
  printers_.push_back(std::move(printer));
}

std::vector<PrinterInfo2>::iterator MemorySpooler::Printer(const std::string& name) {
  const std::u16string folded = FoldCase(name);
  return std::find_if(printers_.begin(), printers_.end(),
                      [&](const PrinterInfo2& p) { return FoldCase(p.printerName) == folded; });
}

const PrinterInfo2* MemorySpooler::FindPrinter(const std::string& name) const {
  for (const PrinterInfo2& p : printers_) {
    if (EqualIgnoringCase(p.printerName, name)) return &p;
  }
  return nullptr;
}

const MemorySpooler::InstalledDriver* MemorySpooler::FindDriver(const std::string& name,
                                                                const std::string& environment) const {
  for (const InstalledDriver& d : drivers_) {
    if (EqualIgnoringCase(d.name, name) && EqualIgnoringCase(d.environment, environment)) return &d;
  }
  return nullptr;
}

bool MemorySpooler::RemovePrinter(const std::string& name) {
  const auto it = Printer(name);
  if (it == printers_.end()) return false;
  if (EqualIgnoringCase(defaultPrinter_, name)) defaultPrinter_.clear();
  printers_.erase(it);
  return true;
}

bool MemorySpooler::RemoveDriver(const std::string& name, const std::string& environment) {
  const auto it = std::find_if(drivers_.begin(), drivers_.end(), [&](const InstalledDriver& d) {
    return EqualIgnoringCase(d.name, name) && EqualIgnoringCase(d.environment, environment);
  });
  if (it == drivers_.end()) return false;
  drivers_.erase(it);
  return true;
}

}  // namespace velmara
