// How the cost of naming a new printer grows with the number of printers: N printers, half of
// them the model's name and its copies (some in other letter case, in no particular order),
// against one listing of those printers. The naming must be linear in N: the ratio stays flat.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "engine/unique_printer_name.h"
#include "service_backends.h"

namespace {

using namespace velmara;
using Clock = std::chrono::steady_clock;

const char kDriver[] = "Velmara Bench Driver";
const char* const kDriverFiles[] = {"VBDRV.DLL", "VBUI.DLL", "VBDATA.GPD"};

class DiscardedDebugOutput final : public DebugOutput {
 public:
  void Write(std::string_view) override { ++lines; }
  long lines = 0;
};

template <typename F>
double MedianMicroseconds(int runs, F&& measured) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    measured();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The model's name and copies 1 .. n/2 - 1 of it, and as many other printers, interleaved.
std::vector<std::string> PrinterNames(std::size_t n) {
  std::vector<std::string> names;
  const std::size_t copies = n / 2;
  for (std::size_t i = 0; i < copies; ++i) {
    if (i == 0) {
      names.push_back("RUD-80");
    } else {
      names.push_back((i % 3 == 0 ? "rud-80 (COPY " : "RUD-80 (copy ") + std::to_string(i) + ")");
    }
    names.push_back("Office printer " + std::to_string(i));
  }
  // A fixed shuffle, so that the copies are not in counting order.
  for (std::size_t i = names.size(); i > 1; --i) std::swap(names[i - 1], names[(i * 7919) % i]);
  return names;
}

bool Run(const testing::MachineBackend& backend, const std::vector<std::size_t>& sizes, int runs) {
  std::printf("%s spooler\n%8s %16s %16s %8s  %s\n", backend.name.c_str(), "N", "listing us", "naming us", "ratio",
              "name");
  bool ok = true;
  for (std::size_t n : sizes) {
    auto machine = backend.make();
    Spooler& spooler = machine->spooler();
    const std::string environment = machine->NativeEnvironment();
    std::string directory;
    spooler.DriverDirectory(environment, &directory);
    for (const char* file : kDriverFiles) machine->PutFile(directory + "\\" + file, "placeholder");
    DriverInfo3 driver;
    driver.version = 3;
    driver.name = kDriver;
    driver.environment = environment;
    driver.driverPath = "VBDRV.DLL";
    driver.configFile = "VBUI.DLL";
    driver.dataFile = "VBDATA.GPD";
    if (spooler.AddDriver(driver) != spooler_error::kSuccess) {
      std::printf("the bench driver could not be registered\n");
      return false;
    }
    const std::vector<std::string> names = PrinterNames(n);
    for (const std::string& name : names) {
      PrinterInfo2 p;
      p.printerName = name;
      p.portName = "LPT1:";
      p.driverName = kDriver;
      p.printProcessor = "WinPrint";
      p.dataType = "RAW";
      p.attributes = kPrinterAttributeLocal;
      PrinterHandle handle = nullptr;
      if (spooler.AddQueue(p, &handle) == spooler_error::kSuccess) spooler.ClosePrinter(handle);
    }

    std::vector<PrinterInfo2> listed;
    const double listing =
        MedianMicroseconds(runs, [&] { spooler.ListPrinters(kPrinterEnumLocal | kPrinterEnumConnections, &listed); });
    DiscardedDebugOutput debug;
    std::string chosen;
    const double naming = MedianMicroseconds(runs, [&] { chosen = MakeUniquePrinterName(spooler, debug, "RUD-80", 0x0409); });
    const std::string expected = "RUD-80 (copy " + std::to_string(n / 2) + ")";
    if (chosen != expected || listed.size() != n) ok = false;
    std::printf("%8zu %16.0f %16.0f %8.2f  %s\n", n, listing, naming, naming / listing, chosen.c_str());

    for (const std::string& name : names) machine->RemovePrinter(name);
    machine->RemoveDriver(kDriver, environment);
    for (const char* file : kDriverFiles) {
      machine->files().Delete(directory + "\\" + file);
      machine->files().Delete(directory + "\\3\\" + file);
    }
  }
  if (!ok) std::printf("the naming did not choose the first free copy name\n");
  return ok;
}

}  // namespace

int main() {
  bool ok = true;
  for (const testing::MachineBackend& backend : testing::MachineBackends()) {
    // The real spooler takes a while to create and delete thousands of printers: one size there.
    const bool real = backend.name != "Memory";
    ok = Run(backend, real ? std::vector<std::size_t>{2000} : std::vector<std::size_t>{500, 2000, 8000}, real ? 5 : 21) && ok;
  }
  return ok ? 0 : 1;
}
