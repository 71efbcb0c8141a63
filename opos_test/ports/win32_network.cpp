#include <winsock2.h>

#include <algorithm>
#include <cstring>

#include "win32_system.h"
#include "win32_transports.h"

namespace dunlith {

namespace {

// Winsock 2 as the system directory holds it, started once for the life of the program.
struct Winsock {
  decltype(&::WSAStartup) startup = nullptr;
  decltype(&::WSAGetLastError) lastError = nullptr;
  decltype(&::socket) socket = nullptr;
  decltype(&::ioctlsocket) ioctl = nullptr;
  decltype(&::connect) connect = nullptr;
  decltype(&::select) select = nullptr;
  decltype(&::getsockopt) getsockopt = nullptr;
  decltype(&::send) send = nullptr;
  decltype(&::recv) recv = nullptr;
  decltype(&::shutdown) shutdown = nullptr;
  decltype(&::closesocket) closesocket = nullptr;
  bool started = false;
  PortError failure;
};

Winsock& LoadedWinsock() {
  static Winsock winsock = [] {
    Winsock w;
    HMODULE module = LoadSystemLibrary(L"ws2_32.dll");
    if (module == nullptr) {
      w.failure = SystemError(GetLastError());
      return w;
    }
    w.startup = SystemFunction<decltype(w.startup)>(module, "WSAStartup");
    w.lastError = SystemFunction<decltype(w.lastError)>(module, "WSAGetLastError");
    w.socket = SystemFunction<decltype(w.socket)>(module, "socket");
    w.ioctl = SystemFunction<decltype(w.ioctl)>(module, "ioctlsocket");
    w.connect = SystemFunction<decltype(w.connect)>(module, "connect");
    w.select = SystemFunction<decltype(w.select)>(module, "select");
    w.getsockopt = SystemFunction<decltype(w.getsockopt)>(module, "getsockopt");
    w.send = SystemFunction<decltype(w.send)>(module, "send");
    w.recv = SystemFunction<decltype(w.recv)>(module, "recv");
    w.shutdown = SystemFunction<decltype(w.shutdown)>(module, "shutdown");
    w.closesocket = SystemFunction<decltype(w.closesocket)>(module, "closesocket");
    if (!w.startup || !w.lastError || !w.socket || !w.ioctl || !w.connect || !w.select || !w.getsockopt ||
        !w.send || !w.recv || !w.shutdown || !w.closesocket) {
      w.failure = SystemError(ERROR_PROC_NOT_FOUND);
      return w;
    }
    WSADATA data{};
    const int started = w.startup(MAKEWORD(2, 2), &data);
    if (started != 0) {
      w.failure = SystemError(static_cast<DWORD>(started));
      return w;
    }
    w.started = true;
    return w;
  }();
  return winsock;
}

// Owns one socket.
class UniqueSocket {
 public:
  UniqueSocket() = default;
  explicit UniqueSocket(SOCKET socket) : socket_(socket) {}
  UniqueSocket(UniqueSocket&& other) noexcept : socket_(std::exchange(other.socket_, INVALID_SOCKET)) {}
  UniqueSocket& operator=(UniqueSocket&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.socket_, INVALID_SOCKET));
    return *this;
  }
  UniqueSocket(const UniqueSocket&) = delete;
  UniqueSocket& operator=(const UniqueSocket&) = delete;
  ~UniqueSocket() { Reset(); }

  bool Valid() const { return socket_ != INVALID_SOCKET; }
  SOCKET Get() const { return socket_; }
  void Reset(SOCKET socket = INVALID_SOCKET) {
    if (Valid()) LoadedWinsock().closesocket(socket_);
    socket_ = socket;
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

PortError LastSocketError() { return SystemError(static_cast<DWORD>(LoadedWinsock().lastError())); }

// Milliseconds left until |timeoutMs| after |start|; GetTickCount wraps after 49 days.
DWORD Remaining(DWORD start, DWORD timeoutMs) {
  const DWORD elapsed = GetTickCount() - start;
  return elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
}

enum class Wait { kReady, kTimedOut, kFailed, kException };

// How long a closing connection reads what the printer still sends.
constexpr DWORD kLingerMs = 1000;
constexpr int kMostLingerReads = 16;

// Waits until |socket| can take data, or reports a failed connection attempt; with |reading|,
// until something came or the peer ended the connection.
Wait WaitFor(SOCKET socket, DWORD milliseconds, bool reading = false) {
  fd_set ready{};
  ready.fd_count = 1;
  ready.fd_array[0] = socket;
  fd_set failed = ready;
  timeval limit{};
  limit.tv_sec = static_cast<long>(milliseconds / 1000);
  limit.tv_usec = static_cast<long>((milliseconds % 1000) * 1000);
  const int count = reading ? LoadedWinsock().select(0, &ready, nullptr, nullptr, &limit)
                            : LoadedWinsock().select(0, nullptr, &ready, &failed, &limit);
  if (count == SOCKET_ERROR) return Wait::kFailed;
  if (count == 0) return Wait::kTimedOut;
  if (!reading && failed.fd_count != 0) return Wait::kException;
  return Wait::kReady;
}

int PendingError(SOCKET socket) {
  int error = 0;
  int size = sizeof(error);
  if (LoadedWinsock().getsockopt(socket, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0) {
    return LoadedWinsock().lastError();
  }
  return error;
}

class TcpConnection final : public PrinterConnection {
 public:
  explicit TcpConnection(UniqueSocket socket) : socket_(std::move(socket)) {}
  ~TcpConnection() override {
    // What was sent still reaches the printer after the close; the printer sees the end of it.
    // Whatever the printer still sends is read until it ends the connection too, for a while:
    // data arriving at a closed socket would reset the connection, and the printer could lose
    // the end of the receipt with it.
    if (LoadedWinsock().shutdown(socket_.Get(), SD_SEND) != 0) return;
    const DWORD start = GetTickCount();
    for (int read = 0; read < kMostLingerReads; ++read) {
      const DWORD left = Remaining(start, kLingerMs);
      char chunk[256];
      if (left == 0 || WaitFor(socket_.Get(), left, true) != Wait::kReady ||
          LoadedWinsock().recv(socket_.Get(), chunk, sizeof(chunk), 0) <= 0) {
        return;
      }
    }
  }

  WriteResult Write(const Bytes& data, std::uint32_t timeoutMs) override {
    constexpr std::size_t kChunk = 64 * 1024;
    WriteResult result;
    const DWORD start = GetTickCount();
    while (result.written < data.size()) {
      const DWORD left = Remaining(start, timeoutMs);
      const Wait wait = left == 0 ? Wait::kTimedOut : WaitFor(socket_.Get(), left);
      if (wait == Wait::kTimedOut) {
        result.end = WriteEnd::kTimedOut;
        return result;
      }
      if (wait != Wait::kReady) {
        result.end = WriteEnd::kFailed;
        result.error = wait == Wait::kException ? SystemError(static_cast<DWORD>(PendingError(socket_.Get())))
                                                : LastSocketError();
        return result;
      }
      const int length = static_cast<int>(std::min(kChunk, data.size() - result.written));
      const int sent =
          LoadedWinsock().send(socket_.Get(), reinterpret_cast<const char*>(data.data() + result.written), length, 0);
      if (sent == SOCKET_ERROR) {
        const int error = LoadedWinsock().lastError();
        if (error == WSAEWOULDBLOCK) continue;
        result.end = WriteEnd::kFailed;
        result.error = SystemError(static_cast<DWORD>(error));
        return result;
      }
      result.written += static_cast<std::size_t>(sent);
    }
    result.end = WriteEnd::kComplete;
    return result;
  }

  ReadResult Read(Bytes* into, std::uint32_t waitMs) override;

 private:
  UniqueSocket socket_;
};

ReadResult TcpConnection::Read(Bytes* into, std::uint32_t waitMs) {
  ReadResult result;
  const DWORD start = GetTickCount();
  const Wait wait = WaitFor(socket_.Get(), waitMs, true);
  result.waitedMs = GetTickCount() - start;
  if (wait == Wait::kTimedOut) return result;
  char chunk[256];
  const int got = wait == Wait::kReady ? LoadedWinsock().recv(socket_.Get(), chunk, sizeof(chunk), 0) : SOCKET_ERROR;
  if (got > 0) {
    into->insert(into->end(), chunk, chunk + got);
    result.end = ReadEnd::kData;
  } else if (got == 0) {
    result.end = ReadEnd::kClosed;
  } else if (const int error = LoadedWinsock().lastError(); error != WSAEWOULDBLOCK) {
    result.end = ReadEnd::kFailed;
    result.error = SystemError(static_cast<DWORD>(error));
  }
  return result;
}

ConnectEnd Refusal(int code, PortError* error) {
  *error = SystemError(static_cast<DWORD>(code));
  return code == WSAECONNREFUSED ? ConnectEnd::kRefused : ConnectEnd::kFailed;
}

}  // namespace

ConnectEnd Win32Network::Connect(std::uint32_t address, std::uint16_t port, std::uint32_t timeoutMs,
                                 std::unique_ptr<PrinterConnection>* connection, PortError* error) {
  Winsock& ws = LoadedWinsock();
  if (!ws.started) {
    *error = ws.failure;
    return ConnectEnd::kNoNetworking;
  }
  const DWORD start = GetTickCount();
  UniqueSocket socket(ws.socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!socket.Valid()) {
    *error = LastSocketError();
    return ConnectEnd::kFailed;
  }
  // Non-blocking, so that the time-out, not the system's own minute or so, limits the attempt.
  u_long nonBlocking = 1;
  if (ws.ioctl(socket.Get(), static_cast<long>(FIONBIO), &nonBlocking) != 0) {
    *error = LastSocketError();
    return ConnectEnd::kFailed;
  }
  sockaddr_in target{};
  target.sin_family = AF_INET;
  const std::uint8_t portBytes[2] = {static_cast<std::uint8_t>(port >> 8), static_cast<std::uint8_t>(port)};
  std::memcpy(&target.sin_port, portBytes, sizeof(portBytes));
  const std::uint8_t addressBytes[4] = {static_cast<std::uint8_t>(address >> 24),
                                        static_cast<std::uint8_t>(address >> 16),
                                        static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address)};
  std::memcpy(&target.sin_addr, addressBytes, sizeof(addressBytes));

  if (ws.connect(socket.Get(), reinterpret_cast<const sockaddr*>(&target), sizeof(target)) != 0) {
    const int code = ws.lastError();
    if (code != WSAEWOULDBLOCK) return Refusal(code, error);
    switch (WaitFor(socket.Get(), Remaining(start, timeoutMs))) {
      case Wait::kReady: break;
      case Wait::kTimedOut:
        *error = SystemError(WSAETIMEDOUT);
        return ConnectEnd::kTimedOut;
      case Wait::kFailed:
        *error = LastSocketError();
        return ConnectEnd::kFailed;
      case Wait::kException: return Refusal(PendingError(socket.Get()), error);
    }
  }
  // Some stacks report a failed attempt as writable; the socket's own error tells.
  if (const int pending = PendingError(socket.Get()); pending != 0) return Refusal(pending, error);
  *connection = std::make_unique<TcpConnection>(std::move(socket));
  return ConnectEnd::kConnected;
}

}  // namespace dunlith
