#pragma once

#include "printing.h"

namespace velmara {

class Win32Printing final : public Printing {
 public:
  std::unique_ptr<PrinterCanvas> OpenPrinter(const std::string& printerName) override;
};

// A bitmap of the program (an HBITMAP that stays the caller's), with its size read from the
// system; empty when |bitmap| is not a bitmap.
PageBitmap PageBitmapFromHandle(void* bitmap);

}  // namespace velmara
