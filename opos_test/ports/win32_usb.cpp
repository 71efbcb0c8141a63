#include <windows.h>
#include <setupapi.h>

#include <cstddef>
#include <cwchar>
#include <vector>

#include "win32_system.h"
#include "win32_transports.h"

namespace dunlith {

namespace {

// GUID_DEVINTERFACE_USBPRINT.
constexpr GUID kUsbPrintInterface = {0x28d78fad, 0x5a12, 0x11d1, {0xae, 0x5b, 0x00, 0x00, 0xf8, 0x03, 0xa8, 0xc2}};

struct SetupApi {
  decltype(&::SetupDiGetClassDevsW) getClassDevs = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) enumInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailW) interfaceDetail = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) destroyList = nullptr;
  bool loaded = false;
  PortError failure;
};

SetupApi& LoadedSetupApi() {
  static SetupApi api = [] {
    SetupApi a;
    HMODULE module = LoadSystemLibrary(L"setupapi.dll");
    if (module == nullptr) {
      a.failure = SystemError(GetLastError());
      return a;
    }
    a.getClassDevs = SystemFunction<decltype(a.getClassDevs)>(module, "SetupDiGetClassDevsW");
    a.enumInterfaces = SystemFunction<decltype(a.enumInterfaces)>(module, "SetupDiEnumDeviceInterfaces");
    a.interfaceDetail = SystemFunction<decltype(a.interfaceDetail)>(module, "SetupDiGetDeviceInterfaceDetailW");
    a.destroyList = SystemFunction<decltype(a.destroyList)>(module, "SetupDiDestroyDeviceInfoList");
    a.loaded = a.getClassDevs && a.enumInterfaces && a.interfaceDetail && a.destroyList;
    if (!a.loaded) a.failure = SystemError(ERROR_PROC_NOT_FOUND);
    return a;
  }();
  return api;
}

// Owns one device information list.
class UniqueDeviceInfoList {
 public:
  explicit UniqueDeviceInfoList(HDEVINFO list) : list_(list) {}
  UniqueDeviceInfoList(UniqueDeviceInfoList&& other) noexcept
      : list_(std::exchange(other.list_, INVALID_HANDLE_VALUE)) {}
  UniqueDeviceInfoList& operator=(UniqueDeviceInfoList&& other) noexcept {
    if (this != &other) {
      Reset();
      list_ = std::exchange(other.list_, INVALID_HANDLE_VALUE);
    }
    return *this;
  }
  UniqueDeviceInfoList(const UniqueDeviceInfoList&) = delete;
  UniqueDeviceInfoList& operator=(const UniqueDeviceInfoList&) = delete;
  ~UniqueDeviceInfoList() { Reset(); }

  bool Valid() const { return list_ != INVALID_HANDLE_VALUE && list_ != nullptr; }
  HDEVINFO Get() const { return list_; }

 private:
  void Reset() {
    if (Valid()) LoadedSetupApi().destroyList(list_);
    list_ = INVALID_HANDLE_VALUE;
  }
  HDEVINFO list_;
};

// A device that returns no data yet completes a read at once, with nothing; it is asked again
// this often until the wait is over.
constexpr DWORD kReadRetryMs = 20;

class UsbConnection final : public PrinterConnection {
 public:
  UsbConnection(UniqueHandle device, bool readable) : device_(std::move(device)), readable_(readable) {}

  WriteResult Write(const Bytes& data, std::uint32_t timeoutMs) override {
    WriteResult result;
    UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done.Valid()) {
      result.end = WriteEnd::kFailed;
      result.error = SystemError(GetLastError());
      return result;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = done.Get();
    DWORD written = 0;
    if (!WriteFile(device_.Get(), data.data(), static_cast<DWORD>(data.size()), nullptr, &overlapped) &&
        GetLastError() != ERROR_IO_PENDING) {
      result.end = WriteEnd::kFailed;
      result.error = SystemError(GetLastError());
      return result;
    }
    if (WaitForSingleObject(done.Get(), timeoutMs) == WAIT_TIMEOUT) {
      // The printer takes no more: the write is called off, and what it had taken is counted.
      CancelIo(device_.Get());
      GetOverlappedResult(device_.Get(), &overlapped, &written, TRUE);
      result.end = WriteEnd::kTimedOut;
      result.written = written;
      return result;
    }
    if (!GetOverlappedResult(device_.Get(), &overlapped, &written, FALSE)) {
      result.end = WriteEnd::kFailed;
      result.error = SystemError(GetLastError());
      result.written = written;
      return result;
    }
    result.written = written;
    result.end = written == data.size() ? WriteEnd::kComplete : WriteEnd::kTimedOut;
    return result;
  }

  ReadResult Read(Bytes* into, std::uint32_t waitMs) override {
    ReadResult result;
    if (!readable_) {
      result.end = ReadEnd::kNoReading;
      return result;
    }
    UniqueHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done.Valid()) {
      result.end = ReadEnd::kFailed;
      result.error = SystemError(GetLastError());
      return result;
    }
    const DWORD start = GetTickCount();
    for (;;) {
      const DWORD elapsed = GetTickCount() - start;
      const DWORD left = elapsed >= waitMs ? 0 : waitMs - elapsed;
      OVERLAPPED overlapped{};
      overlapped.hEvent = done.Get();
      ResetEvent(done.Get());
      std::uint8_t chunk[256];
      DWORD got = 0;
      if (!ReadFile(device_.Get(), chunk, sizeof(chunk), nullptr, &overlapped) && GetLastError() != ERROR_IO_PENDING) {
        const DWORD error = GetLastError();
        // A device whose driver takes no reads is a one-way link, not a failure.
        result.end = error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED ? ReadEnd::kNoReading
                                                                                     : ReadEnd::kFailed;
        if (result.end == ReadEnd::kFailed) result.error = SystemError(error);
        return result;
      }
      if (WaitForSingleObject(done.Get(), left) == WAIT_TIMEOUT) CancelIo(device_.Get());
      const BOOL ok = GetOverlappedResult(device_.Get(), &overlapped, &got, TRUE);
      result.waitedMs = GetTickCount() - start;
      if (got > 0) {
        into->insert(into->end(), chunk, chunk + got);
        result.end = ReadEnd::kData;
        return result;
      }
      if (!ok && GetLastError() != ERROR_OPERATION_ABORTED) {
        result.end = ReadEnd::kFailed;
        result.error = SystemError(GetLastError());
        return result;
      }
      if (left == 0 || !ok) return result;
      Sleep(left < kReadRetryMs ? left : kReadRetryMs);
    }
  }

 private:
  UniqueHandle device_;
  bool readable_;
};

}  // namespace

bool Win32UsbPrinters::List(std::vector<std::u16string>* devicePaths, PortError* error) {
  devicePaths->clear();
  SetupApi& api = LoadedSetupApi();
  if (!api.loaded) {
    *error = api.failure;
    return false;
  }
  UniqueDeviceInfoList list(
      api.getClassDevs(&kUsbPrintInterface, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!list.Valid()) {
    *error = SystemError(GetLastError());
    return false;
  }
  for (DWORD index = 0;; ++index) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!api.enumInterfaces(list.Get(), nullptr, &kUsbPrintInterface, index, &data)) {
      if (GetLastError() == ERROR_NO_MORE_ITEMS) return true;
      *error = SystemError(GetLastError());
      return false;
    }
    DWORD required = 0;
    api.interfaceDetail(list.Get(), &data, nullptr, 0, &required, nullptr);
    const std::size_t pathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
    if (required < pathOffset + sizeof(WCHAR)) continue;
    // Whole structures, so that the buffer is aligned as the structure needs.
    std::vector<SP_DEVICE_INTERFACE_DETAIL_DATA_W> buffer((required + sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) - 1) /
                                                          sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W));
    SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail = buffer.data();
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!api.interfaceDetail(list.Get(), &data, detail, required, nullptr, nullptr)) continue;
    const std::size_t capacity = (required - pathOffset) / sizeof(WCHAR);
    devicePaths->push_back(U16Of(std::wstring(detail->DevicePath, wcsnlen(detail->DevicePath, capacity))));
  }
}

bool Win32UsbPrinters::Open(const std::u16string& devicePath, std::unique_ptr<PrinterConnection>* connection,
                            PortError* error) {
  const std::wstring path = WideOf(devicePath);
  // Reading as well, for the printer's answers; a device that refuses that is still written to.
  bool readable = true;
  UniqueHandle device;
  for (const DWORD access : {GENERIC_READ | GENERIC_WRITE, static_cast<DWORD>(GENERIC_WRITE)}) {
    device.Reset(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_FLAG_OVERLAPPED, nullptr));
    if (device.Valid() || GetLastError() != ERROR_ACCESS_DENIED) break;
    readable = false;
  }
  if (!device.Valid()) {
    *error = SystemError(GetLastError());
    return false;
  }
  *connection = std::make_unique<UsbConnection>(std::move(device), readable);
  return true;
}

}  // namespace dunlith
