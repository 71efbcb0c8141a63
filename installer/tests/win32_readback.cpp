#include "win32_readback.h"

#include <windows.h>
#include <winspool.h>

#include <utility>
#include <vector>

#include "platform/win32_text.h"
#include "unique_handle.h"

namespace velmara::testing {

namespace {

class UniqueWin32Printer {
 public:
  UniqueWin32Printer() = default;
  UniqueWin32Printer(UniqueWin32Printer&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueWin32Printer& operator=(UniqueWin32Printer&&) = delete;
  UniqueWin32Printer(const UniqueWin32Printer&) = delete;
  UniqueWin32Printer& operator=(const UniqueWin32Printer&) = delete;
  ~UniqueWin32Printer() {
    if (handle_ != nullptr) ClosePrinter(handle_);
  }
  HANDLE Get() const { return handle_; }
  HANDLE* Receive() { return &handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// A test's folders may lie deeper than MAX_PATH: such a path goes to the system in its \\?\ form.
std::wstring FilePath(const std::string& path) {
  std::wstring wide = Wide(path);
  if (wide.size() >= MAX_PATH - 12 && wide.size() > 2 && wide[1] == L':') wide = L"\\\\?\\" + wide;
  return wide;
}

std::string Text(const wchar_t* wide) { return wide == nullptr ? std::string() : Narrow(wide); }

std::vector<std::string> MultiText(const wchar_t* wide) {
  std::vector<std::string> names;
  if (wide == nullptr) return names;
  while (*wide != L'\0') {
    const std::wstring name(wide);
    names.push_back(Narrow(name));
    wide += name.size() + 1;
  }
  return names;
}

RegisteredDriver FromInfo(const DRIVER_INFO_3W& d) {
  return {d.cVersion,
          Text(d.pName),
          Text(d.pEnvironment),
          Text(d.pDriverPath),
          Text(d.pDataFile),
          Text(d.pConfigFile),
          Text(d.pHelpFile),
          MultiText(d.pDependentFiles),
          Text(d.pMonitorName),
          Text(d.pDefaultDataType)};
}

bool OpenNamed(const std::string& name, DWORD access, UniqueWin32Printer* printer) {
  std::wstring wide = Wide(name);
  PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
  return OpenPrinterW(wide.data(), printer->Receive(), &defaults) != FALSE;
}

}  // namespace

bool EnumeratedDriver(const std::string& name, const std::string& environment, RegisteredDriver* driver) {
  std::wstring env = Wide(environment);
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrinterDriversW(nullptr, env.data(), 3, nullptr, 0, &needed, &count);
  if (needed == 0) return false;
  std::vector<unsigned char> buffer(needed);
  if (!EnumPrinterDriversW(nullptr, env.data(), 3, buffer.data(), needed, &needed, &count)) return false;
  const auto* records = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    if (Text(records[i].pName) == name) {
      *driver = FromInfo(records[i]);
      return true;
    }
  }
  return false;
}

bool DriverOfPrinter(const std::string& printerName, const std::string& environment, RegisteredDriver* driver) {
  UniqueWin32Printer printer;
  if (!OpenNamed(printerName, PRINTER_ACCESS_USE, &printer)) return false;
  std::wstring env = Wide(environment);
  DWORD needed = 0;
  GetPrinterDriverW(printer.Get(), env.data(), 3, nullptr, 0, &needed);
  if (needed == 0) return false;
  std::vector<unsigned char> buffer(needed);
  if (!GetPrinterDriverW(printer.Get(), env.data(), 3, buffer.data(), needed, &needed)) return false;
  *driver = FromInfo(*reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data()));
  return true;
}

bool PrinterRecord(const std::string& name, PrinterInfo2* out) {
  UniqueWin32Printer printer;
  if (!OpenNamed(name, PRINTER_ACCESS_USE, &printer)) return false;
  DWORD needed = 0;
  GetPrinterW(printer.Get(), 2, nullptr, 0, &needed);
  if (needed == 0) return false;
  std::vector<unsigned char> buffer(needed);
  if (!GetPrinterW(printer.Get(), 2, buffer.data(), needed, &needed)) return false;
  const auto& r = *reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  out->printerName = Text(r.pPrinterName);
  out->portName = Text(r.pPortName);
  out->driverName = Text(r.pDriverName);
  out->printProcessor = Text(r.pPrintProcessor);
  out->dataType = Text(r.pDatatype);
  out->attributes = r.Attributes;
  out->priority = r.Priority;
  out->defaultPriority = r.DefaultPriority;
  out->startTime = r.StartTime;
  out->untilTime = r.UntilTime;
  out->status = r.Status;
  out->jobs = r.cJobs;
  out->averagePpm = r.AveragePPM;
  return true;
}

std::string CurrentDefaultPrinter() {
  DWORD chars = 0;
  GetDefaultPrinterW(nullptr, &chars);
  if (chars == 0) return std::string();
  std::vector<wchar_t> buffer(chars + 1, L'\0');
  if (!GetDefaultPrinterW(buffer.data(), &chars)) return std::string();
  return Narrow(buffer.data());
}

void DeletePrinterNamed(const std::string& name) {
  UniqueWin32Printer printer;
  if (OpenNamed(name, PRINTER_ALL_ACCESS, &printer)) DeletePrinter(printer.Get());
}

void DeleteDriverNamed(const std::string& name, const std::string& environment) {
  std::wstring wideName = Wide(name);
  std::wstring env = Wide(environment);
  if (!DeletePrinterDriverExW(nullptr, env.data(), wideName.data(), DPD_DELETE_UNUSED_FILES, 0)) {
    DeletePrinterDriverW(nullptr, env.data(), wideName.data());
  }
}

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool WineSpoolerUsesTheCallersEnvironment() {
  if (!RunningUnderWine() || sizeof(void*) != 4) return false;
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

namespace {

const char kWineWow64Environment[] = "Windows NT x86";
const char* const kWineWow64DriverFiles[] = {"VLWOWDRV.DLL", "VLWOWUI.DLL", "VLWOW.GPD"};

std::string WineWow64DriverDirectory() {
  std::wstring environment = Wide(kWineWow64Environment);
  std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
  DWORD needed = 0;
  if (!GetPrinterDriverDirectoryW(nullptr, environment.data(), 1, reinterpret_cast<LPBYTE>(buffer.data()),
                                  static_cast<DWORD>(buffer.size() * sizeof(wchar_t)), &needed)) {
    return std::string();
  }
  buffer.back() = L'\0';
  return Narrow(buffer.data());
}

}  // namespace

void RegisterDriverForWineWow64(const std::string& name) {
  if (!WineSpoolerUsesTheCallersEnvironment()) return;
  const std::string directory = WineWow64DriverDirectory();
  if (directory.empty()) return;
  for (const char* file : kWineWow64DriverFiles) WriteFileBytes(directory + "\\" + file, "placeholder");
  std::wstring wideName = Wide(name), environment = Wide(kWineWow64Environment), driver = L"VLWOWDRV.DLL",
               data = L"VLWOW.GPD", config = L"VLWOWUI.DLL";
  DRIVER_INFO_3W info{};
  info.cVersion = 3;
  info.pName = wideName.data();
  info.pEnvironment = environment.data();
  info.pDriverPath = driver.data();
  info.pDataFile = data.data();
  info.pConfigFile = config.data();
  AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info));
}

void RemoveDriverForWineWow64(const std::string& name) {
  if (!WineSpoolerUsesTheCallersEnvironment()) return;
  DeleteDriverNamed(name, kWineWow64Environment);
  const std::string directory = WineWow64DriverDirectory();
  if (directory.empty()) return;
  for (const char* file : kWineWow64DriverFiles) {
    DeleteFileW(Wide(directory + "\\" + file).c_str());
    DeleteFileW(Wide(directory + "\\3\\" + file).c_str());
  }
}

std::string Win32NativeEnvironment() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? "Windows x64" : "Windows NT x86";
}

void MakeFolders(const std::string& path) {
  for (std::size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') CreateDirectoryW(FilePath(path.substr(0, i)).c_str(), nullptr);
  }
}

void WriteFileBytes(const std::string& path, const std::string& contents) {
  const std::size_t slash = path.rfind('\\');
  if (slash != std::string::npos) MakeFolders(path.substr(0, slash));
  pos::testing::UniqueHandle file(
      CreateFileW(FilePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return;
  DWORD written = 0;
  WriteFile(file.Get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
}

std::string ReadFileBytes(const std::string& path) {
  pos::testing::UniqueHandle file(CreateFileW(FilePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return std::string();
  std::string contents;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file.Get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) contents.append(chunk, read);
  return contents;
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(FilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveFolderTree(const std::string& path) {
  const std::wstring folder = FilePath(path);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = FilePath(path + "\\" + Narrow(name));
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        RemoveFolderTree(path + "\\" + Narrow(name));
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

std::string MakeTemporaryFolder(const std::string& tag) {
  std::vector<wchar_t> temp(MAX_PATH + 1, L'\0');
  const DWORD length = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  std::string base = Narrow(std::wstring(temp.data(), length));
  if (!base.empty() && base.back() == '\\') base.pop_back();
  const std::string folder = base + "\\velmara-" + tag + "-" + std::to_string(GetCurrentProcessId());
  RemoveFolderTree(folder);
  MakeFolders(folder);
  return folder;
}

std::string CurrentFolder() {
  const DWORD chars = GetCurrentDirectoryW(0, nullptr);
  std::vector<wchar_t> buffer(chars + 1, L'\0');
  GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  return Narrow(buffer.data());
}

bool SetCurrentFolder(const std::string& path) { return SetCurrentDirectoryW(Wide(path).c_str()) != FALSE; }

}  // namespace velmara::testing
