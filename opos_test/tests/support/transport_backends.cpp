#include "transport_backends.h"

#include "memory_transports.h"

#ifdef _WIN32
#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>

#include "loopback_printer.h"
#include "ports/win32_transports.h"
#endif

namespace dunlith::testing {

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;

class MemoryNetworkUnderTest final : public NetworkUnderTest {
 public:
  Network& network() override { return network_; }
  std::uint16_t Reading() override {
    reading_ = &network_.Listen(kLoopback, 9201);
    return 9201;
  }
  std::uint16_t Refusing() override { return 9202; }
  std::uint16_t Silent() override {
    network_.Silence(kLoopback, 9203);
    return 9203;
  }
  std::uint16_t NotReading() override {
    // What the system's buffers hold before the sender has to wait.
    network_.Listen(kLoopback, 9204).takes = 256 * 1024;
    return 9204;
  }
  std::uint16_t Answering(const PrinterCase& behaviour) override {
    network_.Listen(kLoopback, 9205).behaviour = behaviour;
    return 9205;
  }
  // Everything that came, as it came.
  Bytes Received() override {
    Bytes all;
    if (reading_ == nullptr) return all;
    for (const Bytes& connection : reading_->received) all.insert(all.end(), connection.begin(), connection.end());
    return all;
  }
  bool Waits() const override { return false; }

 private:
  MemoryNetwork network_;
  MemoryPrinter* reading_ = nullptr;
};

class MemoryUsbUnderTest final : public UsbUnderTest {
 public:
  UsbPrinters& usb() override { return usb_; }
  std::u16string PlugUnopenable(const std::string& hardwareId, const std::string& instance) override {
    std::string path = "\\\\?\\usb#" + hardwareId + "#" + instance + "#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    std::transform(path.begin(), path.end(), path.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; });
    const std::u16string wide(path.begin(), path.end());
    usb_.Add(wide).openError = 2;
    return wide;
  }

 private:
  MemoryUsbPrinters usb_;
};

class MemorySerialUnderTest final : public SerialUnderTest {
 public:
  SerialPorts& serial() override { return serial_; }

 private:
  MemorySerialPorts serial_;
};

#ifdef _WIN32
// Winsock for the test's own peers, linked as usual: tests are no deliverables.
class WinsockSession {
 public:
  WinsockSession() {
    WSADATA data{};
    WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~WinsockSession() { WSACleanup(); }
};

SOCKET ListenOnLoopback(int backlog, std::uint16_t* port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  listen(s, backlog);
  int size = sizeof(address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  *port = ntohs(address.sin_port);
  return s;
}

class Win32NetworkUnderTest final : public NetworkUnderTest {
 public:
  ~Win32NetworkUnderTest() override {
    for (SOCKET s : sockets_) closesocket(s);
    if (reader_.joinable()) reader_.join();
  }
  Network& network() override { return network_; }

  std::uint16_t Reading() override {
    std::uint16_t port = 0;
    SOCKET listener = ListenOnLoopback(1, &port);
    sockets_.push_back(listener);
    reader_ = std::thread([this, listener] {
      SOCKET peer = accept(listener, nullptr, nullptr);
      if (peer == INVALID_SOCKET) return;
      char chunk[4096];
      for (;;) {
        const int got = recv(peer, chunk, sizeof(chunk), 0);
        if (got <= 0) break;
        std::lock_guard<std::mutex> lock(mutex_);
        received_.insert(received_.end(), chunk, chunk + got);
      }
      closesocket(peer);
    });
    return port;
  }

  std::uint16_t Refusing() override {
    std::uint16_t port = 0;
    closesocket(ListenOnLoopback(1, &port));
    return port;
  }

  // A listener that accepts nothing and whose queue is full: the system drops further requests
  // unanswered.
  std::uint16_t Silent() override {
    std::uint16_t port = 0;
    sockets_.push_back(ListenOnLoopback(0, &port));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    for (int i = 0; i < 4; ++i) {
      SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
      u_long nonBlocking = 1;
      ioctlsocket(filler, static_cast<long>(FIONBIO), &nonBlocking);
      connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
      sockets_.push_back(filler);
    }
    Sleep(200);
    return port;
  }

  std::uint16_t NotReading() override {
    std::uint16_t port = 0;
    SOCKET listener = ListenOnLoopback(1, &port);
    sockets_.push_back(listener);
    // Accepted by the system's queue; nobody ever reads.
    return port;
  }

  std::uint16_t Answering(const PrinterCase& behaviour) override {
    printer_ = std::make_unique<LoopbackPrinter>(behaviour, 0);
    return printer_->port();
  }

  Bytes Received() override {
    if (reader_.joinable()) reader_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }
  bool Waits() const override { return true; }

 private:
  WinsockSession session_;
  Win32Network network_;
  std::unique_ptr<LoopbackPrinter> printer_;
  std::vector<SOCKET> sockets_;
  std::thread reader_;
  std::mutex mutex_;
  Bytes received_;
};

class Win32UsbUnderTest final : public UsbUnderTest {
 public:
  UsbPrinters& usb() override { return usb_; }
  std::u16string PlugUnopenable(const std::string& hardwareId, const std::string& instance) override {
    if (!RunningUnderWine()) return {};
    return registration_.Plug(hardwareId, instance);
  }

 private:
  Win32UsbPrinters usb_;
  WineUsbRegistration registration_;
};

class Win32SerialUnderTest final : public SerialUnderTest {
 public:
  SerialPorts& serial() override { return serial_; }

 private:
  Win32SerialPorts serial_;
};

const wchar_t kUsbPrintGuid[] = L"{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
// The setup class of USB devices, which a device's Enum key names.
const wchar_t kUsbSetupClass[] = L"{36fc9e60-c465-11cf-8056-444553540000}";

void SetString(const std::wstring& path, const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

void SetDword(const std::wstring& path, const wchar_t* name, DWORD value) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
  RegCloseKey(key);
}
#endif

}  // namespace

std::vector<TransportBackend> TransportBackends() {
  std::vector<TransportBackend> backends{{"Memory", [] { return std::make_unique<MemoryNetworkUnderTest>(); },
                                          [] { return std::make_unique<MemoryUsbUnderTest>(); },
                                          [] { return std::make_unique<MemorySerialUnderTest>(); }}};
#ifdef _WIN32
  backends.push_back({"Win32", [] { return std::make_unique<Win32NetworkUnderTest>(); },
                      [] { return std::make_unique<Win32UsbUnderTest>(); },
                      [] { return std::make_unique<Win32SerialUnderTest>(); }});
#endif
  return backends;
}

#ifdef _WIN32
bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Wine lists a device interface that its registry records as Windows does: the interface key
// under DeviceClasses, linked, and the device's Enum key; the device itself is not there.
std::u16string WineUsbRegistration::Plug(const std::string& hardwareId, const std::string& instance) {
  const std::wstring id(hardwareId.begin(), hardwareId.end());
  const std::wstring inst(instance.begin(), instance.end());
  const std::wstring symbolicLink = L"\\\\?\\USB#" + id + L"#" + inst + L"#" + kUsbPrintGuid;
  std::wstring keyName = symbolicLink;
  std::replace(keyName.begin(), keyName.end(), L'\\', L'#');
  const std::wstring interfaceKey =
      std::wstring(L"SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\") + kUsbPrintGuid + L"\\" + keyName;
  const std::wstring enumKey = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\" + id + L"\\" + inst;
  SetString(interfaceKey, L"DeviceInstance", L"USB\\" + id + L"\\" + inst);
  SetString(interfaceKey + L"\\#", L"SymbolicLink", symbolicLink);
  SetDword(interfaceKey + L"\\#\\Control", L"Linked", 1);
  SetString(enumKey, L"ClassGUID", kUsbSetupClass);
  keys_.push_back(interfaceKey);
  keys_.push_back(enumKey);
  std::wstring path = symbolicLink;
  std::transform(path.begin(), path.end(), path.begin(),
                 [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c + 0x20) : c; });
  return std::u16string(path.begin(), path.end());
}

WineUsbRegistration::~WineUsbRegistration() {
  for (const std::wstring& key : keys_) {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, key.c_str());
    // The key above goes too once it is empty; RegDeleteKeyW leaves a key with subkeys.
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.substr(0, key.rfind(L'\\')).c_str());
  }
}
#endif

}  // namespace dunlith::testing
