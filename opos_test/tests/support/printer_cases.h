#pragma once

#include <string>
#include <vector>

#include "escpos_printer.h"

// The printers that Dunlith's tests put behind a port, each with what the window must say, the
// exit code and whether the receipt comes out: the Linux tests run them against the stand-ins,
// the Wine tests against the loopback TCP printer and the serial printer.
namespace dunlith::testing {

struct PrinterOutcome {
  PrinterCase printer;
  int exitCode;
  bool printed;
  // The report's lines after the announcement, in English; %PORT% stands for the port as the
  // outcome names it, %BYTES% for the receipt's size.
  std::vector<std::u16string> lines;
};

std::vector<PrinterOutcome> PrinterOutcomes();
// The printer of the outcome named |name|.
PrinterCase CaseNamed(const std::string& name);

// |lines| joined as the window shows them, with the placeholders filled in.
std::u16string ExpectedLines(const std::vector<std::u16string>& lines, const std::u16string& port,
                             std::size_t bytes);

}  // namespace dunlith::testing
