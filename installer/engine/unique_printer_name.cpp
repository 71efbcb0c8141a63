#include "unique_printer_name.h"

#include <unordered_map>
#include <vector>

#include "engine/text_format.h"
#include "platform/case_fold.h"
#include "platform/system_info.h"

namespace velmara {

std::string MakeUniquePrinterName(Spooler& spooler, DebugOutput& debug, const std::string& baseName,
                                  std::uint16_t language) {
  std::vector<PrinterInfo2> printers;
  if (spooler.ListPrinters(kPrinterEnumLocal | kPrinterEnumConnections, &printers) != spooler_error::kSuccess) {
    return baseName;
  }
  // Each name is looked up once instead of walking the whole list again after every clash:
  // among many copies of one model, the walk would cost the square of the printer count.
  std::unordered_map<std::u16string, std::size_t> firstWithName;
  firstWithName.reserve(printers.size());
  for (std::size_t i = 0; i < printers.size(); ++i) firstWithName.emplace(FoldCase(printers[i].printerName), i);

  const bool chinese = language == kLanguageChinese;
  std::string candidate = baseName;
  int n = 1;
  for (;;) {
    const auto clash = firstWithName.find(FoldCase(candidate));
    if (clash == firstWithName.end()) break;
    candidate = chinese ? FormatText("%s (副本 %d)", baseName.c_str(), n) : FormatText("%s (copy %d)", baseName.c_str(), n);
    ++n;
    debug.Write(FormatText("name=%s,i=%d,n=%d.temStr=%s,userLanguage=%d\r\n",
                           printers[clash->second].printerName.c_str(), -1, n, candidate.c_str(), language));
  }
  if (!printers.empty()) {
    // The free name has been compared with every printer, the last one included.
    debug.Write(FormatText("name=%s,i=%d,n=%d.temStr=%s,userLanguage=%d\r\n", printers.back().printerName.c_str(),
                           static_cast<int>(printers.size() - 1), n, candidate.c_str(), language));
  }
  return candidate;
}

}  // namespace velmara
