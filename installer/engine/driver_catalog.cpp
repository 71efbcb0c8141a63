#include "driver_catalog.h"

#include <vector>

#include "engine/text_format.h"
#include "engine/unique_printer_name.h"

namespace velmara {

namespace {

// The waits that give the spooler time to settle after a registration and a printer creation.
constexpr std::uint32_t kSpoolerSettleMs = 111;

// The six Unidrv core files every model rides on, after its own DLL and GPD in staging order.
constexpr const char* kUnidrvFiles[] = {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIRES.DLL",
                                        "UNIDRV.HLP", "TTFSUB.GPD",   "STDNAMES.GPD"};

const char kDriverFailedChinese[] = "安装打印机驱动过程发生错误！";
const char kDriverFailedEnglish[] = "Install printer driver failed !";

std::vector<std::string> StagedFiles(const CDriverCatalog& catalog, int modelIndex) {
  const auto m = static_cast<std::size_t>(modelIndex);
  std::vector<std::string> files{catalog.m_dllFile[m], catalog.m_gpdFile[m]};
  for (const char* file : kUnidrvFiles) files.emplace_back(file);
  return files;
}

std::string CopyFailureText(bool chinese, int osIndex) {
  // From Windows Vista on (the later OS choices), a copy usually fails for want of rights.
  if (chinese) return osIndex < 3 ? "安装过程发生错误！" : "安装过程发生错误！\n请尝试<以管理员身份运行>安装文件。";
  return osIndex < 3 ? "Malfunction !" : "Malfunction !\nPls try using <Run as administrator>open this App";
}

}  // namespace

const ProcessorProfile& ProfileForArchitecture(const std::string& archName) {
  return archName == kArchX64 ? kX64Profile : kX86Profile;
}

CDriverCatalog::CDriverCatalog(const EngineServices& services)
    : m_dllFile{"POS58.DLL", "POS58.DLL", "POS80.DLL", "POS80.DLL", "POS90.DLL", "POS76.DLL", "POS76.DLL"},
      m_gpdFile{"POS58.GPD", "POS58C.GPD", "POS80.GPD", "POS80C.GPD", "POS90.GPD", "POS76.GPD", "POS76C.GPD"},
      m_modelName{"DUR-58", "DUR-58C", "RUD-80", "RUD-80C", "DAD-90", "DIZ-76", "DIZ-76C"},
      m_osName{"Windows 2000", "Windows XP",  "Windows 2003", "Windows Vista", "Windows 7",
               "Windows 8",    "Windows 8.1", "Windows 10",   "Windows 10.1"},
      services_(services) {}

void CDriverCatalog::Show(const std::string& text) const {
  services_.messages.Show(owner_, text, kMbOk | kMbIconExclamation);
}

void CDriverCatalog::ShowSystemError(std::uint32_t code) const {
  std::string text = services_.system.ErrorText(code);
  if (text.empty()) text = FormatText("Error %u (0x%08X)", static_cast<unsigned>(code), static_cast<unsigned>(code));
  Show(text);
}

bool CDriverCatalog::InstallPrinter(int osIndex, int modelIndex, int setDefault, const std::string& portName) {
  m_lastFailure = InstallFailure::kNone;
  m_madeDefault = false;
  if (modelIndex < 0 || modelIndex >= kModelCount) return false;
  m_printerName = m_modelName[static_cast<std::size_t>(modelIndex)];
  std::string archName;
  std::string osName;
  DetectOsAndArch(archName, osName);
  if (!InstallDriverAndPrinter(ProfileForArchitecture(archName), osIndex, modelIndex, portName)) return false;
  if (setDefault != 0) m_madeDefault = services_.spooler.MakeDefault(m_printerName) == spooler_error::kSuccess;
  return true;
}

bool CDriverCatalog::InstallDriverAndPrinter(const ProcessorProfile& profile, int osIndex, int modelIndex,
                                             const std::string& portName) {
  m_lastFailure = InstallFailure::kNone;
  if (modelIndex < 0 || modelIndex >= kModelCount) return false;
  const auto model = static_cast<std::size_t>(modelIndex);
  const std::uint16_t language = services_.system.UserUiLanguage();
  const bool chinese = language == kLanguageChinese;
  const char* const driverFailed = chinese ? kDriverFailedChinese : kDriverFailedEnglish;

  // Without the spooler's directory every staged path would point at the root of the drive.
  std::string directory;
  SpoolerStatus status = services_.spooler.DriverDirectory(profile.environment, &directory);
  if (status == spooler_error::kSuccess && directory.empty()) status = file_error::kPathNotFound;
  if (status != spooler_error::kSuccess) {
    m_lastFailure = InstallFailure::kSpooler;
    ShowSystemError(status);
    Show(driverFailed);
    return false;
  }
  const auto staged = [&](const std::string& file) { return directory + "\\" + file; };

  // A stale copy of the model's own files must not be registered should its copy fail.
  services_.files.Delete(staged(m_dllFile[model]));
  services_.files.Delete(staged(m_gpdFile[model]));
  const std::vector<std::string> files = StagedFiles(*this, modelIndex);
  bool copied = true;
  for (const std::string& file : files) {
    if (services_.files.Copy(profile.sourceFolder + file, staged(file), false) != file_error::kSuccess) copied = false;
  }
  if (!copied) {
    m_lastFailure = InstallFailure::kDriverFiles;
    Show(CopyFailureText(chinese, osIndex));
    return false;
  }

  DriverInfo3 driver;
  driver.version = 3;
  driver.name = m_modelName[model];
  driver.environment = profile.environment;
  driver.driverPath = "uniDRV.DLL";
  driver.dataFile = m_gpdFile[model];
  driver.configFile = "uniDRVUI.DLL";
  driver.helpFile = "uniDRV.HLP";
  driver.dependentFiles = FormatText("TTFSUB.GPD\nSTDNAMES.GPD\nUNIRES.DLL\n%s\n\n\n\n", m_dllFile[model].c_str());
  for (char& c : driver.dependentFiles) {
    if (c == '\n') c = '\0';
  }
  driver.defaultDataType = "RAW";
  status = services_.spooler.AddDriver(driver);
  services_.pauses.Sleep(kSpoolerSettleMs);
  if (status != spooler_error::kSuccess) {
    m_lastFailure = InstallFailure::kSpooler;
    ShowSystemError(status);
    Show(driverFailed);
    return false;
  }
  services_.pauses.Sleep(kSpoolerSettleMs);

  m_printerName = MakeUniquePrinterName(services_.spooler, services_.debug, m_modelName[model], language);

  PrinterInfo2 printer;
  printer.printerName = m_printerName;
  printer.portName = portName;
  printer.driverName = m_modelName[model];
  printer.printProcessor = "WinPrint";
  printer.dataType = "RAW";
  printer.attributes = kPrinterAttributeLocal;
  PrinterHandle handle = nullptr;
  status = services_.spooler.AddQueue(printer, &handle);
  UniquePrinterHandle created;
  if (status == spooler_error::kSuccess) created = UniquePrinterHandle(services_.spooler, handle);
  services_.pauses.Sleep(kSpoolerSettleMs);
  created.Reset();

  for (const std::string& file : files) services_.files.Delete(staged(file));

  // A driver without a printer is no installation: the user learns why, and the caller neither
  // offers the test page nor makes a missing printer the default.
  if (status != spooler_error::kSuccess) {
    m_lastFailure = InstallFailure::kSpooler;
    ShowSystemError(status);
    return false;
  }
  return true;
}

}  // namespace velmara
