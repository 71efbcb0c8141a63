#include <windows.h>

#include <string>

#include "win32_system.h"
#include "win32_transports.h"

namespace dunlith {

namespace {

// Reads return what is waiting at once; a write may take |writeMs| in all, whatever its length.
bool SetTimeouts(HANDLE port, DWORD writeMs) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutConstant = writeMs;
  return SetCommTimeouts(port, &timeouts) != FALSE;
}

// How often a read that waits looks again. Windows would return at the first byte with the
// time-outs MAXDWORD, MAXDWORD and the wait; Wine waits all of it.
constexpr DWORD kReadPollMs = 10;

class SerialConnection final : public PrinterConnection {
 public:
  explicit SerialConnection(UniqueHandle port) : port_(std::move(port)) {}

  WriteResult Write(const Bytes& data, std::uint32_t timeoutMs) override {
    WriteResult result;
    DWORD written = 0;
    const BOOL ok = SetTimeouts(port_.Get(), timeoutMs) &&
                    WriteFile(port_.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
    result.written = written;
    if (ok) {
      result.end = written == data.size() ? WriteEnd::kComplete : WriteEnd::kTimedOut;
    } else if (error == ERROR_SEM_TIMEOUT || error == WAIT_TIMEOUT) {
      result.end = WriteEnd::kTimedOut;
    } else {
      result.end = WriteEnd::kFailed;
      result.error = SystemError(error);
    }
    return result;
  }

  ReadResult Read(Bytes* into, std::uint32_t waitMs) override {
    ReadResult result;
    const DWORD start = GetTickCount();
    for (;;) {
      std::uint8_t chunk[256];
      DWORD got = 0;
      if (!ReadFile(port_.Get(), chunk, sizeof(chunk), &got, nullptr)) {
        result.end = ReadEnd::kFailed;
        result.error = SystemError(GetLastError());
        return result;
      }
      result.waitedMs = GetTickCount() - start;
      if (got > 0) {
        into->insert(into->end(), chunk, chunk + got);
        result.end = ReadEnd::kData;
        return result;
      }
      if (result.waitedMs >= waitMs) return result;
      const DWORD left = waitMs - result.waitedMs;
      Sleep(left < kReadPollMs ? left : kReadPollMs);
    }
  }

 private:
  UniqueHandle port_;
};

}  // namespace

std::u16string SerialDeviceName(unsigned number) {
  const std::string digits = std::to_string(number);
  const std::u16string name = u"COM" + std::u16string(digits.begin(), digits.end());
  return number > 9 ? u"\\\\.\\" + name : name;
}

SerialEnd Win32SerialPorts::Open(unsigned number, std::uint32_t baud, std::uint32_t timeoutMs,
                                 std::unique_ptr<PrinterConnection>* connection, PortError* error) {
  const std::wstring name = WideOf(SerialDeviceName(number));
  UniqueHandle port(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  if (!port.Valid()) {
    *error = SystemError(GetLastError());
    return SerialEnd::kOpenFailed;
  }
  DCB settings{};
  settings.DCBlength = sizeof(settings);
  if (!GetCommState(port.Get(), &settings)) {
    *error = SystemError(GetLastError());
    return SerialEnd::kSetupFailed;
  }
  settings.BaudRate = baud;
  settings.ByteSize = 8;
  settings.Parity = NOPARITY;
  settings.StopBits = ONESTOPBIT;
  settings.fBinary = TRUE;
  settings.fParity = FALSE;
  if (!SetCommState(port.Get(), &settings)) {
    *error = SystemError(GetLastError());
    return SerialEnd::kSetupFailed;
  }
  if (!SetTimeouts(port.Get(), timeoutMs)) {
    *error = SystemError(GetLastError());
    return SerialEnd::kSetupFailed;
  }
  *connection = std::make_unique<SerialConnection>(std::move(port));
  return SerialEnd::kOpened;
}

}  // namespace dunlith
