#include <windows.h>

#include "clock.h"

namespace corvale {

LocalTime Win32Clock::Now() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

}  // namespace corvale
