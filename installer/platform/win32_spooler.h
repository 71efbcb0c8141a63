#pragma once

#include "spooler.h"

namespace velmara {

struct WinspoolFunctions;

// winspool on the local machine, through the functions of |functions|, which must outlive the
// spooler: by default those of the winspool.drv of the system directory.
class Win32Spooler final : public Spooler {
 public:
  Win32Spooler();
  explicit Win32Spooler(const WinspoolFunctions& functions) : winspool_(functions) {}

  SpoolerStatus DriverDirectory(const std::string& environment, std::string* directory) override;
  SpoolerStatus AddDriver(const DriverInfo3& driver) override;
  SpoolerStatus ListPrinters(std::uint32_t flags, std::vector<PrinterInfo2>* printers) override;
  SpoolerStatus AddQueue(const PrinterInfo2& printer, PrinterHandle* handle) override;
  SpoolerStatus ClosePrinter(PrinterHandle handle) override;
  SpoolerStatus MakeDefault(const std::string& printerName) override;

 private:
  const WinspoolFunctions& winspool_;
};

}  // namespace velmara
