#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/printing.h"
#include "platform/spooler.h"
#include "platform/system_info.h"
#include "platform/ui_services.h"

namespace velmara {

inline constexpr int kModelCount = 7;
inline constexpr int kOsNameCount = 9;

// The driver set of one processor: the spooler's name for its environment and the folder of
// the installation medium that holds its files, relative to the current directory.
struct ProcessorProfile {
  const char* environment;
  const char* sourceFolder;
};

inline constexpr ProcessorProfile kX86Profile{"Windows NT x86", "Windows NT x86\\"};
inline constexpr ProcessorProfile kX64Profile{"Windows x64", "Windows x64\\"};

// Only the exact architecture name "x64" selects the 64-bit driver set.
const ProcessorProfile& ProfileForArchitecture(const std::string& archName);

// Why an installation failed.
enum class InstallFailure {
  kNone,
  kDriverFiles,  // a driver file could not be staged: missing from the medium, or not copied
  kSpooler,      // the spooler refused: its driver directory, the driver or the printer
};

// The system services the installation engine works through.
struct EngineServices {
  SystemInfo& system;
  Spooler& spooler;
  Files& files;
  MessageBoxes& messages;
  Pauses& pauses;
  DebugOutput& debug;
  Printing& printing;
};

// The install catalogue: the driver files and names of the seven models, the printer name of
// the current installation and the names of the Windows releases, with the operations that
// work on them.
class CDriverCatalog {
 public:
  explicit CDriverCatalog(const EngineServices& services);

  // Message boxes of the engine are owned by this window (the installation dialog), once it
  // exists.
  void SetOwnerWindow(WindowHandle owner) { owner_ = owner; }

  // Names the native processor architecture and the Windows release with entries of the
  // tables below. When the version query fails, returns false and leaves both untouched.
  bool DetectOsAndArch(std::string& archName, std::string& osName) const;

  // Stages the model's driver files for the machine's processor, registers the driver, creates
  // a printer on |portName| under a name no printer has, removes the staged files and, when
  // |setDefault| is non-zero, makes the printer the default. |osIndex| (the OS choice of the
  // dialog) only chooses the wording of the copy-failure message. On return m_printerName
  // holds the printer's name. Failures are shown to the user before false is returned.
  bool InstallPrinter(int osIndex, int modelIndex, int setDefault, const std::string& portName);
  // The installation for one processor profile, without the default printer.
  bool InstallDriverAndPrinter(const ProcessorProfile& profile, int osIndex, int modelIndex,
                               const std::string& portName);

  // Prints the test page on |printerName|: |text| at the top, |logo| over its first lines, the
  // printer's name and the local time. False when no page could be started.
  bool PrintTestPage(const std::string& printerName, const PageBitmap& logo, const std::string& text);

  std::array<std::string, kModelCount> m_dllFile;
  std::array<std::string, kModelCount> m_gpdFile;
  std::array<std::string, kModelCount> m_modelName;
  std::string m_printerName;
  std::array<std::string, kOsNameCount> m_osName;
  // What the last InstallPrinter met: why it returned false, and whether it made the printer the
  // default printer.
  InstallFailure m_lastFailure = InstallFailure::kNone;
  bool m_madeDefault = false;

 private:
  void Show(const std::string& text) const;
  void ShowSystemError(std::uint32_t code) const;

  EngineServices services_;
  WindowHandle owner_ = nullptr;
};

// The architecture names of DetectOsAndArch, and its name for a release it does not know.
inline constexpr const char* kArchX86 = "x86";
inline constexpr const char* kArchIa64 = "Intel Itanium-based";
inline constexpr const char* kArchX64 = "x64";
inline constexpr const char* kArchUnknownValue = "Unknown architecture";
inline constexpr const char* kArchOther = "Unknown";
inline constexpr const char* kOsUnknown = "Unknow";

}  // namespace velmara
