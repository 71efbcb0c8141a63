// Stands in for the printing-test program that Corvale starts: writes the parameters it was
// given, as UTF-8, to dunlith-args.txt in its current directory and to dunlith-ran.txt beside
// itself, so that a test can tell which copy ran, and ends.
#include <windows.h>

#include <string>

#include "standin_support.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace pos::testing;
  const std::wstring parameters = ParametersOf(GetCommandLineW());
  std::wstring self(32768, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
  const std::wstring folder = self.substr(0, self.find_last_of(L'\\'));
  const bool ranRecorded = WriteRecord(folder + L"\\dunlith-ran.txt", parameters);
  return WriteRecord(L"dunlith-args.txt", parameters) && ranRecorded ? 0 : 1;
}
