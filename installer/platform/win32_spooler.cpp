#include "win32_spooler.h"

#include <windows.h>

#include <vector>

#include "win32_system_functions.h"
#include "win32_text.h"

namespace velmara {

namespace {

// A wide text for a field that the spooler reads; an empty text is a null pointer.
class FieldText {
 public:
  explicit FieldText(const std::string& utf8) : empty_(utf8.empty()), wide_(Wide(utf8)) {}
  LPWSTR Get() { return empty_ ? nullptr : wide_.data(); }

 private:
  bool empty_;
  std::wstring wide_;
};

std::string Text(const wchar_t* wide) { return wide == nullptr ? std::string() : Narrow(wide); }

// The spooler may need more room between the call that reports the size and the call that
// fills the buffer, when printers come and go; a few rounds settle it.
constexpr int kSizingRounds = 4;

}  // namespace

Win32Spooler::Win32Spooler() : winspool_(Winspool()) {}

SpoolerStatus Win32Spooler::DriverDirectory(const std::string& environment, std::string* directory) {
  if (winspool_.GetPrinterDriverDirectoryW == nullptr) return winspool_.missing;
  std::wstring wideEnvironment = Wide(environment);
  DWORD needed = 0;
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (int round = 0; round < kSizingRounds; ++round) {
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (winspool_.GetPrinterDriverDirectoryW(nullptr, wideEnvironment.data(), 1, reinterpret_cast<LPBYTE>(buffer.data()),
                                   bytes, &needed)) {
      buffer.back() = L'\0';
      *directory = Narrow(buffer.data());
      return spooler_error::kSuccess;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_INSUFFICIENT_BUFFER || needed <= bytes) return error;
    buffer.assign(needed / sizeof(wchar_t) + 2, L'\0');
  }
  return ERROR_INSUFFICIENT_BUFFER;
}

SpoolerStatus Win32Spooler::AddDriver(const DriverInfo3& driver) {
  if (winspool_.AddPrinterDriverW == nullptr) return winspool_.missing;
  FieldText name(driver.name), environment(driver.environment), driverPath(driver.driverPath),
      dataFile(driver.dataFile), configFile(driver.configFile), helpFile(driver.helpFile),
      monitorName(driver.monitorName), defaultDataType(driver.defaultDataType);
  // The embedded zeros survive the conversion; the terminator of the wide text ends the list.
  std::wstring dependentFiles = Wide(driver.dependentFiles);

  DRIVER_INFO_3W info{};
  info.cVersion = driver.version;
  info.pName = name.Get();
  info.pEnvironment = environment.Get();
  info.pDriverPath = driverPath.Get();
  info.pDataFile = dataFile.Get();
  info.pConfigFile = configFile.Get();
  info.pHelpFile = helpFile.Get();
  info.pDependentFiles = driver.dependentFiles.empty() ? nullptr : dependentFiles.data();
  info.pMonitorName = monitorName.Get();
  info.pDefaultDataType = defaultDataType.Get();
  if (winspool_.AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info))) return spooler_error::kSuccess;
  return GetLastError();
}

SpoolerStatus Win32Spooler::ListPrinters(std::uint32_t flags, std::vector<PrinterInfo2>* printers) {
  printers->clear();
  if (winspool_.EnumPrintersW == nullptr) return winspool_.missing;
  DWORD needed = 0;
  DWORD count = 0;
  if (winspool_.EnumPrintersW(flags, nullptr, 2, nullptr, 0, &needed, &count)) return spooler_error::kSuccess;
  DWORD error = GetLastError();
  // ::operator new aligns the buffer for the records at its start.
  std::vector<unsigned char> buffer;
  for (int round = 0; round < kSizingRounds && error == ERROR_INSUFFICIENT_BUFFER; ++round) {
    buffer.assign(needed, 0);
    if (winspool_.EnumPrintersW(flags, nullptr, 2, buffer.data(), needed, &needed, &count)) {
      const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
      printers->reserve(count);
      for (DWORD i = 0; i < count; ++i) {
        const PRINTER_INFO_2W& r = records[i];
        PrinterInfo2 p;
        p.printerName = Text(r.pPrinterName);
        p.portName = Text(r.pPortName);
        p.driverName = Text(r.pDriverName);
        p.printProcessor = Text(r.pPrintProcessor);
        p.dataType = Text(r.pDatatype);
        p.attributes = r.Attributes;
        p.priority = r.Priority;
        p.defaultPriority = r.DefaultPriority;
        p.startTime = r.StartTime;
        p.untilTime = r.UntilTime;
        p.status = r.Status;
        p.jobs = r.cJobs;
        p.averagePpm = r.AveragePPM;
        printers->push_back(std::move(p));
      }
      return spooler_error::kSuccess;
    }
    error = GetLastError();
  }
  return error;
}

SpoolerStatus Win32Spooler::AddQueue(const PrinterInfo2& printer, PrinterHandle* handle) {
  if (winspool_.AddPrinterW == nullptr) return winspool_.missing;
  FieldText name(printer.printerName), port(printer.portName), driver(printer.driverName),
      processor(printer.printProcessor), dataType(printer.dataType);
  PRINTER_INFO_2W info{};
  info.pPrinterName = name.Get();
  info.pPortName = port.Get();
  info.pDriverName = driver.Get();
  info.pPrintProcessor = processor.Get();
  info.pDatatype = dataType.Get();
  info.Attributes = printer.attributes;
  info.Priority = printer.priority;
  info.DefaultPriority = printer.defaultPriority;
  info.StartTime = printer.startTime;
  info.UntilTime = printer.untilTime;
  info.Status = printer.status;
  info.cJobs = printer.jobs;
  info.AveragePPM = printer.averagePpm;
  HANDLE created = winspool_.AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
  if (created == nullptr) return GetLastError();
  *handle = created;
  return spooler_error::kSuccess;
}

SpoolerStatus Win32Spooler::ClosePrinter(PrinterHandle handle) {
  if (winspool_.ClosePrinter == nullptr) return winspool_.missing;
  if (winspool_.ClosePrinter(handle)) return spooler_error::kSuccess;
  return GetLastError();
}

SpoolerStatus Win32Spooler::MakeDefault(const std::string& printerName) {
  if (winspool_.SetDefaultPrinterW == nullptr) return winspool_.missing;
  if (winspool_.SetDefaultPrinterW(Wide(printerName).c_str())) return spooler_error::kSuccess;
  return GetLastError();
}

}  // namespace velmara
