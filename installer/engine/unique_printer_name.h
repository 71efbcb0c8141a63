#pragma once

#include <cstdint>
#include <string>

#include "platform/spooler.h"
#include "platform/ui_services.h"

namespace velmara {

// The name for a new printer based on |baseName|: the base name itself when no printer has it,
// otherwise "<base> (copy n)" (Chinese "<base> (副本 n)" when |language| is Chinese) with the
// smallest n from 1 on that no printer has. Printer names are compared without regard to
// letter case, as the spooler compares them. When the printers cannot be listed, the base name.
// Costs one listing and time linear in the number of printers.
std::string MakeUniquePrinterName(Spooler& spooler, DebugOutput& debug, const std::string& baseName,
                                  std::uint16_t language);

}  // namespace velmara
