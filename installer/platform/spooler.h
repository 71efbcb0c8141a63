#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace velmara {

// Win32 error codes, 0 on success.
using SpoolerStatus = std::uint32_t;

namespace spooler_error {
inline constexpr SpoolerStatus kSuccess = 0;
inline constexpr SpoolerStatus kFileNotFound = 2;
inline constexpr SpoolerStatus kAccessDenied = 5;
inline constexpr SpoolerStatus kInvalidParameter = 87;
inline constexpr SpoolerStatus kInsufficientBuffer = 122;
inline constexpr SpoolerStatus kUnknownPort = 1796;
inline constexpr SpoolerStatus kUnknownPrinterDriver = 1797;
inline constexpr SpoolerStatus kUnknownPrintProcessor = 1798;
inline constexpr SpoolerStatus kInvalidPrinterName = 1801;
inline constexpr SpoolerStatus kPrinterAlreadyExists = 1802;
inline constexpr SpoolerStatus kInvalidEnvironment = 1805;
}  // namespace spooler_error

inline constexpr std::uint32_t kPrinterEnumLocal = 0x00000002;
inline constexpr std::uint32_t kPrinterEnumConnections = 0x00000004;
inline constexpr std::uint32_t kPrinterAttributeLocal = 0x00000040;

// DRIVER_INFO_3. An empty text stands for a null pointer.
struct DriverInfo3 {
  std::uint32_t version = 0;
  std::string name;
  std::string environment;
  std::string driverPath;
  std::string dataFile;
  std::string configFile;
  std::string helpFile;
  // A multi-string as the spooler takes it: every name ends with a zero character, and an empty
  // name ends the list. The terminator of the std::string adds the final zero.
  std::string dependentFiles;
  std::string monitorName;
  std::string defaultDataType;
};

// PRINTER_INFO_2, with the fields the installer gives or reads; the others (server, share,
// comment, location, device mode, separator file, parameters, security) are null. An empty text
// stands for a null pointer.
struct PrinterInfo2 {
  std::string printerName;
  std::string portName;
  std::string driverName;
  std::string printProcessor;
  std::string dataType;
  std::uint32_t attributes = 0;
  std::uint32_t priority = 0;
  std::uint32_t defaultPriority = 0;
  std::uint32_t startTime = 0;
  std::uint32_t untilTime = 0;
  std::uint32_t status = 0;
  std::uint32_t jobs = 0;
  std::uint32_t averagePpm = 0;
};

// A printer handle, opaque outside the spooler that gave it.
using PrinterHandle = void*;

// The print spooler of the local machine (winspool), as the installer uses it.
class Spooler {
 public:
  virtual ~Spooler() = default;
  // GetPrinterDriverDirectoryW, level 1: where driver files for |environment| are staged.
  virtual SpoolerStatus DriverDirectory(const std::string& environment, std::string* directory) = 0;
  // AddPrinterDriverW, level 3. Bare file names are looked for in the driver directory of the
  // driver's environment; the spooler copies them to where it keeps its drivers.
  virtual SpoolerStatus AddDriver(const DriverInfo3& driver) = 0;
  // EnumPrintersW, level 2, without a name, in the spooler's order. A missing printer name is
  // given as an empty text.
  virtual SpoolerStatus ListPrinters(std::uint32_t flags, std::vector<PrinterInfo2>* printers) = 0;
  // AddPrinterW, level 2. On success |handle| is an open handle of the new printer.
  virtual SpoolerStatus AddQueue(const PrinterInfo2& printer, PrinterHandle* handle) = 0;
  // ClosePrinter.
  virtual SpoolerStatus ClosePrinter(PrinterHandle handle) = 0;
  // SetDefaultPrinterW.
  virtual SpoolerStatus MakeDefault(const std::string& printerName) = 0;
};

// Owns an open printer handle of a spooler and closes it.
class UniquePrinterHandle {
 public:
  UniquePrinterHandle() = default;
  UniquePrinterHandle(Spooler& spooler, PrinterHandle handle) : spooler_(&spooler), handle_(handle) {}
  UniquePrinterHandle(UniquePrinterHandle&& other) noexcept
      : spooler_(std::exchange(other.spooler_, nullptr)), handle_(std::exchange(other.handle_, nullptr)) {}
  UniquePrinterHandle& operator=(UniquePrinterHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      spooler_ = std::exchange(other.spooler_, nullptr);
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  UniquePrinterHandle(const UniquePrinterHandle&) = delete;
  UniquePrinterHandle& operator=(const UniquePrinterHandle&) = delete;
  ~UniquePrinterHandle() { Reset(); }

  PrinterHandle Get() const { return handle_; }
  void Reset() {
    if (spooler_ != nullptr && handle_ != nullptr) spooler_->ClosePrinter(handle_);
    spooler_ = nullptr;
    handle_ = nullptr;
  }

 private:
  Spooler* spooler_ = nullptr;
  PrinterHandle handle_ = nullptr;
};

// Splits a multi-string into its names; the first empty name ends the list.
inline std::vector<std::string> SplitMultiString(const std::string& multi) {
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < multi.size()) {
    const std::size_t end = multi.find('\0', start);
    const std::string name = multi.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (name.empty()) break;
    names.push_back(name);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return names;
}

}  // namespace velmara
