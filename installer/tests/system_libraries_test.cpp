// The DLLs Velmara loads itself instead of importing them: from the system directory and nowhere
// else, and a DLL or function that is missing makes the operation that needs it fail with an error
// code, as the system's own call would, instead of a call through a null pointer.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32_device_interfaces.h"
#include "platform/win32_spooler.h"
#include "platform/win32_system_functions.h"
#include "platform/win32_system_library.h"
#include "platform/win32_text.h"
#include "usb/usb_discovery.h"
#include "win32_readback.h"

namespace velmara::testing {
namespace {

std::wstring ModuleFolder(HMODULE module) {
  wchar_t path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH + 1);
  const std::wstring full(path, length);
  return full.substr(0, full.find_last_of(L'\\'));
}

bool SameFolder(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) == CSTR_EQUAL;
}

TEST(SystemLibrary, TakesTheDllsOfTheSystemDirectory) {
  for (const wchar_t* name : {L"winspool.drv", L"setupapi.dll", L"comctl32.dll"}) {
    SCOPED_TRACE(Narrow(name));
    const SystemLibrary library(name);
    ASSERT_TRUE(library.Loaded()) << library.LoadError();
    EXPECT_EQ(library.LoadError(), 0u);
    EXPECT_TRUE(SameFolder(ModuleFolder(GetModuleHandleW(name)), SystemDirectoryPath()));
  }
}

// A DLL that exists only in the current directory, as one planted on an installation medium.
TEST(SystemLibrary, NeverTakesADllOfTheCurrentDirectory) {
  const std::string folder = MakeTemporaryFolder("system-library");
  const std::string planted = folder + "\\velmaraplanted.dll";
  const std::wstring programs = ModuleFolder(nullptr);
  ASSERT_TRUE(CopyFileW((programs + L"\\planted\\planted.dll").c_str(), Wide(planted).c_str(), FALSE));
  const std::string previous = CurrentFolder();
  SetCurrentFolder(folder);
  {
    const SystemLibrary library(L"velmaraplanted.dll");
    EXPECT_FALSE(library.Loaded());
    EXPECT_EQ(library.LoadError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(library.Find<FARPROC>("DllMain"), nullptr);
  }
  EXPECT_FALSE(FileExists(planted + ".loaded")) << "the planted DLL was loaded";
  // The search that the program no longer relies on finds it: the test would see a load.
  HMODULE bare = LoadLibraryW(L"velmaraplanted.dll");
  EXPECT_NE(bare, nullptr);
  if (bare != nullptr) FreeLibrary(bare);
  SetCurrentFolder(previous);
  EXPECT_TRUE(FileExists(planted + ".loaded"));
  RemoveFolderTree(folder);
}

// Every spooler operation, with what it fails with when its function is missing.
std::vector<std::pair<const char*, std::function<SpoolerStatus(Spooler&)>>> SpoolerOperations() {
  return {
      {"DriverDirectory", [](Spooler& s) {
         std::string directory;
         return s.DriverDirectory("Windows NT x86", &directory);
       }},
      {"AddDriver", [](Spooler& s) { return s.AddDriver(DriverInfo3{}); }},
      {"ListPrinters", [](Spooler& s) {
         std::vector<PrinterInfo2> printers{PrinterInfo2{}};
         const SpoolerStatus status = s.ListPrinters(kPrinterEnumLocal, &printers);
         EXPECT_TRUE(printers.empty()) << "no printers are made up";
         return status;
       }},
      {"AddQueue", [](Spooler& s) {
         PrinterHandle handle = nullptr;
         return s.AddQueue(PrinterInfo2{}, &handle);
       }},
      {"ClosePrinter", [](Spooler& s) { return s.ClosePrinter(nullptr); }},
      {"MakeDefault", [](Spooler& s) { return s.MakeDefault("RUD-80"); }},
  };
}

TEST(SystemFunctions, ASpoolerWithoutItsFunctionsFailsEveryOperationWithTheLoadError) {
  // kernel32 is loaded but exports none of the spooler's functions; a DLL that could not be loaded
  // leaves the table empty with the loader's error.
  const SystemLibrary kernel32(L"kernel32.dll");
  ASSERT_TRUE(kernel32.Loaded());
  const WinspoolFunctions withoutFunctions = LoadWinspoolFunctions(kernel32);
  const WinspoolFunctions withoutLibrary = LoadWinspoolFunctions(SystemLibrary(L"velmara-no-such.drv"));
  const struct {
    const char* what;
    const WinspoolFunctions& functions;
    SpoolerStatus error;
  } cases[] = {{"no functions", withoutFunctions, ERROR_PROC_NOT_FOUND},
               {"no library", withoutLibrary, ERROR_MOD_NOT_FOUND}};
  for (const auto& c : cases) {
    Win32Spooler spooler(c.functions);
    for (const auto& [name, operation] : SpoolerOperations()) {
      SCOPED_TRACE(std::string(c.what) + " " + name);
      EXPECT_EQ(operation(spooler), c.error);
    }
  }
}

TEST(SystemFunctions, DeviceInterfacesWithoutSetupApiFailWithTheLoadError) {
  const SetupApiFunctions withoutLibrary = LoadSetupApiFunctions(SystemLibrary(L"velmara-no-such.dll"));
  Win32DeviceInterfaces interfaces(withoutLibrary);
  std::uint32_t error = 0;
  EXPECT_EQ(interfaces.OpenPresent(kUsbPrintInterfaceClass, &error), nullptr);
  EXPECT_EQ(error, static_cast<std::uint32_t>(ERROR_MOD_NOT_FOUND));
}

TEST(SystemFunctions, TheProgramsTablesComeFromTheSystemDirectoryWithEveryFunction) {
  LoadSystemLibraries();
  const WinspoolFunctions& winspool = Winspool();
  EXPECT_NE(winspool.GetPrinterDriverDirectoryW, nullptr);
  EXPECT_NE(winspool.AddPrinterDriverW, nullptr);
  EXPECT_NE(winspool.EnumPrintersW, nullptr);
  EXPECT_NE(winspool.AddPrinterW, nullptr);
  EXPECT_NE(winspool.ClosePrinter, nullptr);
  EXPECT_NE(winspool.SetDefaultPrinterW, nullptr);
  const SetupApiFunctions& setupApi = SetupApi();
  EXPECT_NE(setupApi.SetupDiGetClassDevsW, nullptr);
  EXPECT_NE(setupApi.SetupDiEnumDeviceInterfaces, nullptr);
  EXPECT_NE(setupApi.SetupDiGetDeviceInterfaceDetailW, nullptr);
  EXPECT_NE(setupApi.SetupDiDestroyDeviceInfoList, nullptr);
  EXPECT_NE(CommonControls().InitCommonControlsEx, nullptr);
  EXPECT_EQ(&Winspool(), &winspool) << "loaded once";
  for (const wchar_t* name : {L"winspool.drv", L"setupapi.dll", L"comctl32.dll"}) {
    SCOPED_TRACE(Narrow(name));
    ASSERT_NE(GetModuleHandleW(name), nullptr);
    EXPECT_TRUE(SameFolder(ModuleFolder(GetModuleHandleW(name)), SystemDirectoryPath()));
  }
}

}  // namespace
}  // namespace velmara::testing
