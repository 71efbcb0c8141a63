// Loads the DLL named on its command line by that bare name, as a program that leaves the DLL
// search as it is would: the planted copy beside it is taken. Exit code 0 when it loaded.
#include <windows.h>

int wmain(int argc, wchar_t** argv) { return argc > 1 && LoadLibraryW(argv[1]) != nullptr ? 0 : 1; }
