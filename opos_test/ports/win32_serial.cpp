#include <windows.h>

#include <string>

#include "win32_system.h"
#include "win32_transports.h"

namespace dunlith {

namespace {

class SerialConnection final : public PrinterConnection {
 public:
  explicit SerialConnection(UniqueHandle port) : port_(std::move(port)) {}

  // The port's write time-out, set when it was opened, limits the whole write.
  WriteResult Write(const Bytes& data, std::uint32_t) override {
    WriteResult result;
    DWORD written = 0;
    const BOOL ok = WriteFile(port_.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
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
  COMMTIMEOUTS timeouts{};
  // Reads return at once; a write may take |timeoutMs| in all, whatever its length.
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutConstant = timeoutMs;
  if (!SetCommTimeouts(port.Get(), &timeouts)) {
    *error = SystemError(GetLastError());
    return SerialEnd::kSetupFailed;
  }
  *connection = std::make_unique<SerialConnection>(std::move(port));
  return SerialEnd::kOpened;
}

}  // namespace dunlith
