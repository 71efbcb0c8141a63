#pragma once

#include "spooler.h"

namespace velmara {

// winspool on the local machine.
class Win32Spooler final : public Spooler {
 public:
  SpoolerStatus DriverDirectory(const std::string& environment, std::string* directory) override;
  SpoolerStatus AddDriver(const DriverInfo3& driver) override;
  SpoolerStatus ListPrinters(std::uint32_t flags, std::vector<PrinterInfo2>* printers) override;
  SpoolerStatus AddQueue(const PrinterInfo2& printer, PrinterHandle* handle) override;
  SpoolerStatus ClosePrinter(PrinterHandle handle) override;
  SpoolerStatus MakeDefault(const std::string& printerName) override;
};

}  // namespace velmara
