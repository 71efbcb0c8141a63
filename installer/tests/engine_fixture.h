#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/driver_catalog.h"
#include "support/fake_printing.h"
#include "support/fake_ui_services.h"
#include "support/fixed_system_info.h"
#include "support/memory_files.h"
#include "support/memory_spooler.h"

namespace velmara::testing {

// Passes every call on to a MemorySpooler and keeps the records it was given, field by field.
class RecordingSpooler final : public Spooler {
 public:
  explicit RecordingSpooler(MemorySpooler& inner) : inner_(inner) {}
  SpoolerStatus DriverDirectory(const std::string& environment, std::string* directory) override {
    environments.push_back(environment);
    return inner_.DriverDirectory(environment, directory);
  }
  SpoolerStatus AddDriver(const DriverInfo3& driver) override {
    drivers.push_back(driver);
    return inner_.AddDriver(driver);
  }
  SpoolerStatus ListPrinters(std::uint32_t flags, std::vector<PrinterInfo2>* printers) override {
    listFlags.push_back(flags);
    return inner_.ListPrinters(flags, printers);
  }
  SpoolerStatus AddQueue(const PrinterInfo2& printer, PrinterHandle* handle) override {
    queues.push_back(printer);
    return inner_.AddQueue(printer, handle);
  }
  SpoolerStatus ClosePrinter(PrinterHandle handle) override { return inner_.ClosePrinter(handle); }
  SpoolerStatus MakeDefault(const std::string& printerName) override { return inner_.MakeDefault(printerName); }

  std::vector<std::string> environments;
  std::vector<DriverInfo3> drivers;
  std::vector<std::uint32_t> listFlags;
  std::vector<PrinterInfo2> queues;

 private:
  MemorySpooler& inner_;
};

inline const char* const kUnidrvCoreFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL",
                                               "UNIDRV.HLP", "TTFSUB.GPD",   "STDNAMES.GPD"};
inline const char* const kModelFiles[] = {"POS58.DLL",  "POS80.DLL",  "POS90.DLL", "POS76.DLL", "POS58.GPD",
                                          "POS58C.GPD", "POS80.GPD",  "POS80C.GPD", "POS90.GPD", "POS76.GPD",
                                          "POS76C.GPD"};

// A 64-bit Windows 10 machine with an English UI, started from an installation medium that
// carries every model for both processors; the printer port USB001 exists.
class EngineTest : public ::testing::Test {
 protected:
  static constexpr const char* kDriverDirectory = "C:\\WINDOWS\\system32\\spool\\drivers\\x64";
  static constexpr const char* kX86DriverDirectory = "C:\\WINDOWS\\system32\\spool\\drivers\\W32X86";

  EngineTest() {
    for (const char* folder : {"Windows NT x86", "Windows x64"}) {
      for (const char* file : kUnidrvCoreFiles) files.AddFile(std::string(folder) + "\\" + file, file);
      for (const char* file : kModelFiles) files.AddFile(std::string(folder) + "\\" + file, file);
    }
    memorySpooler.AddPort("USB001");
    files.log.clear();
  }

  MemoryFiles files{"C:\\medium"};
  MemorySpooler memorySpooler{files};
  RecordingSpooler spooler{memorySpooler};
  FixedSystemInfo system;
  RecordingMessageBoxes messages;
  RecordingPauses pauses;
  RecordingDebugOutput debug;
  RecordingPrinting printing;
  CDriverCatalog catalog{EngineServices{system, spooler, files, messages, pauses, debug, printing}};

  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const auto& call : messages.calls) texts.push_back(call.text);
    return texts;
  }
  std::vector<MemoryFiles::Operation> Operations(MemoryFiles::Operation::Kind kind) const {
    std::vector<MemoryFiles::Operation> selected;
    for (const auto& op : files.log) {
      if (op.kind == kind) selected.push_back(op);
    }
    return selected;
  }
};

}  // namespace velmara::testing
