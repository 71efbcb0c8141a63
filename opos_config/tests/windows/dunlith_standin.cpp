// Stands in for the printing-test program that Corvale starts: writes the parameters it was
// given, as UTF-8, to dunlith-args.txt in its current directory, and ends.
#include <windows.h>

#include "standin_support.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace pos::testing;
  return WriteRecord(L"dunlith-args.txt", ParametersOf(GetCommandLineW())) ? 0 : 1;
}
