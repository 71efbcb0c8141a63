#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/memory_spooler.h"
#include "platform/spooler.h"

namespace velmara::testing {

// A registered driver as GetPrinterDriverW / EnumPrinterDriversW level 3 report it.
using RegisteredDriver = MemorySpooler::InstalledDriver;

// The files and spooler of a machine for a test: the in-memory stand-ins, or the real ones
// (under Wine), with the means to set up and read back what the services themselves do not.
class MachineUnderTest {
 public:
  virtual ~MachineUnderTest() = default;
  virtual Files& files() = 0;
  virtual Spooler& spooler() = 0;

  // An empty folder of this test, removed with this object.
  virtual std::string ScratchFolder() = 0;
  // Makes the folders on the way and a file with |contents|.
  virtual void PutFile(const std::string& path, const std::string& contents) = 0;
  virtual std::string FileContents(const std::string& path) = 0;
  // Makes |path| the current directory until this object is gone.
  virtual void EnterFolder(const std::string& path) = 0;

  // The environment of the machine's own processor ("Windows x64" ...).
  virtual std::string NativeEnvironment() = 0;
  virtual bool ReadDriver(const std::string& name, const std::string& environment, RegisteredDriver* driver) = 0;
  virtual bool ReadPrinter(const std::string& name, PrinterInfo2* printer) = 0;
  virtual std::string DefaultPrinter() = 0;
  virtual void RemovePrinter(const std::string& name) = 0;
  virtual void RemoveDriver(const std::string& name, const std::string& environment) = 0;

  // Where Wine is more lenient than Windows, the real services answer as Wine does.
  virtual bool IsWine() const = 0;
  // Wine's spooler client in a 32-bit process on 64-bit Windows looks for a new printer's driver
  // under the caller's environment; Windows' spooler, a 64-bit service, looks under its own.
  virtual bool LooksUpDriversUnderTheCallersEnvironment() const = 0;
};

struct MachineBackend {
  std::string name;
  std::function<std::unique_ptr<MachineUnderTest>()> make;
};

inline std::ostream& operator<<(std::ostream& os, const MachineBackend& backend) { return os << backend.name; }

// The in-memory machine everywhere, and the real one where the tests run on Windows or Wine.
std::vector<MachineBackend> MachineBackends();

std::unique_ptr<MachineUnderTest> MakeMemoryMachine();
#ifdef _WIN32
std::unique_ptr<MachineUnderTest> MakeWin32Machine();
#endif

}  // namespace velmara::testing
