#pragma once

#include <string>

#include "platform/spooler.h"
#include "service_backends.h"

// What the tests read back from the real spooler and disk, through winspool and kernel32 directly.
namespace velmara::testing {

// EnumPrinterDriversW, level 3.
bool EnumeratedDriver(const std::string& name, const std::string& environment, RegisteredDriver* driver);
// GetPrinterDriverW, level 3, through a handle of the printer.
bool DriverOfPrinter(const std::string& printerName, const std::string& environment, RegisteredDriver* driver);
// GetPrinterW, level 2.
bool PrinterRecord(const std::string& name, PrinterInfo2* printer);
// GetDefaultPrinterW; empty when there is none.
std::string CurrentDefaultPrinter();
void DeletePrinterNamed(const std::string& name);
void DeleteDriverNamed(const std::string& name, const std::string& environment);

bool RunningUnderWine();
std::string Win32NativeEnvironment();
// Wine's spooler client, in a 32-bit process on 64-bit Windows, looks for a new printer's driver
// under the caller's environment ("Windows NT x86"); Windows' spooler, a 64-bit service, looks
// under its own ("Windows x64"). True where a test meets that difference.
bool WineSpoolerUsesTheCallersEnvironment();
// Test set-up for that difference of Wine's: registers the driver |name|, made of placeholder
// files, for "Windows NT x86" too, so that AddPrinter in this 32-bit process finds it as Windows
// would find the driver of its own environment. Does nothing where the difference does not apply.
void RegisterDriverForWineWow64(const std::string& name);
// Removes that registration and its files.
void RemoveDriverForWineWow64(const std::string& name);

// Folders and files for setting up a test.
void MakeFolders(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& contents);
std::string ReadFileBytes(const std::string& path);
bool FileExists(const std::string& path);
// Removes |path| with everything below it.
void RemoveFolderTree(const std::string& path);
// A new, empty folder under the system's temporary folder.
std::string MakeTemporaryFolder(const std::string& tag);
std::string CurrentFolder();
bool SetCurrentFolder(const std::string& path);

}  // namespace velmara::testing
