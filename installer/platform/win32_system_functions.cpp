#include "win32_system_functions.h"

#include "win32_unique_handles.h"

namespace velmara {

namespace {

template <typename Function>
void Take(const SystemLibrary& library, Function& function, const char* name) {
  function = library.Find<Function>(name);
}

// A library loaded once for the whole run, with its table.
template <typename Table, Table (*Load)(const SystemLibrary&)>
const Table& LoadOnce(const wchar_t* fileName) {
  static const SystemLibrary library(fileName);
  static const Table table = Load(library);
  return table;
}

}  // namespace

WinspoolFunctions LoadWinspoolFunctions(const SystemLibrary& winspool) {
  WinspoolFunctions f;
  Take(winspool, f.GetPrinterDriverDirectoryW, "GetPrinterDriverDirectoryW");
  Take(winspool, f.AddPrinterDriverW, "AddPrinterDriverW");
  Take(winspool, f.EnumPrintersW, "EnumPrintersW");
  Take(winspool, f.AddPrinterW, "AddPrinterW");
  Take(winspool, f.ClosePrinter, "ClosePrinter");
  Take(winspool, f.SetDefaultPrinterW, "SetDefaultPrinterW");
  f.missing = MissingFunctionError(winspool);
  return f;
}

SetupApiFunctions LoadSetupApiFunctions(const SystemLibrary& setupApi) {
  SetupApiFunctions f;
  Take(setupApi, f.SetupDiGetClassDevsW, "SetupDiGetClassDevsW");
  Take(setupApi, f.SetupDiEnumDeviceInterfaces, "SetupDiEnumDeviceInterfaces");
  Take(setupApi, f.SetupDiGetDeviceInterfaceDetailW, "SetupDiGetDeviceInterfaceDetailW");
  Take(setupApi, f.SetupDiDestroyDeviceInfoList, "SetupDiDestroyDeviceInfoList");
  f.missing = MissingFunctionError(setupApi);
  return f;
}

CommonControlsFunctions LoadCommonControlsFunctions(const SystemLibrary& commonControls) {
  CommonControlsFunctions f;
  Take(commonControls, f.InitCommonControlsEx, "InitCommonControlsEx");
  f.missing = MissingFunctionError(commonControls);
  return f;
}

const WinspoolFunctions& Winspool() { return LoadOnce<WinspoolFunctions, LoadWinspoolFunctions>(L"winspool.drv"); }
const SetupApiFunctions& SetupApi() { return LoadOnce<SetupApiFunctions, LoadSetupApiFunctions>(L"setupapi.dll"); }
const CommonControlsFunctions& CommonControls() {
  return LoadOnce<CommonControlsFunctions, LoadCommonControlsFunctions>(L"comctl32.dll");
}

void DeviceInfoListTraits::Close(HDEVINFO list) {
  if (SetupApi().SetupDiDestroyDeviceInfoList != nullptr) SetupApi().SetupDiDestroyDeviceInfoList(list);
}

void LoadSystemLibraries() {
  Winspool();
  SetupApi();
  CommonControls();
}

}  // namespace velmara
