#include "loopback_printer.h"

#include <chrono>


namespace dunlith::testing {

namespace {

sockaddr_in Loopback(std::uint16_t port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  return address;
}

}  // namespace

LoopbackPrinter::LoopbackPrinter(Mode mode) : behaviour_(kSilentPrinter) {
  WSADATA data{};
  WSAStartup(MAKEWORD(2, 2), &data);
  Listen(9100, mode == Mode::kSilent ? 0 : SOMAXCONN);
  if (!Listening()) return;
  if (mode == Mode::kSilent) {
    // Nobody accepts, and the queue is full: the system leaves further requests unanswered.
    sockaddr_in address = Loopback(port_);
    for (int i = 0; i < 4; ++i) {
      SOCKET filler = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
      u_long nonBlocking = 1;
      ioctlsocket(filler, static_cast<long>(FIONBIO), &nonBlocking);
      connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
      fillers_.push_back(filler);
    }
    Sleep(200);
    return;
  }
  server_ = std::thread([this] { Serve(); });
}

LoopbackPrinter::LoopbackPrinter(const PrinterCase& behaviour, std::uint16_t port) : behaviour_(behaviour) {
  WSADATA data{};
  WSAStartup(MAKEWORD(2, 2), &data);
  Listen(port, SOMAXCONN);
  if (Listening()) server_ = std::thread([this] { Serve(); });
}

void LoopbackPrinter::Listen(std::uint16_t port, int backlog) {
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  BOOL reuse = TRUE;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
  sockaddr_in address = Loopback(port);
  int size = sizeof(address);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(listener_, backlog) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    return;
  }
  port_ = ntohs(address.sin_port);
}

LoopbackPrinter::~LoopbackPrinter() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  if (listener_ != INVALID_SOCKET) closesocket(listener_);
  if (server_.joinable()) server_.join();
  for (SOCKET filler : fillers_) closesocket(filler);
  WSACleanup();
}

void LoopbackPrinter::Serve() {
  for (;;) {
    SOCKET peer = accept(listener_, nullptr, nullptr);
    if (peer == INVALID_SOCKET) return;
    ServeConnection(peer);
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) return;
  }
}

// Reads until the host ends the connection, answering as it goes; each reply waits its delay
// after the request, so a late or split answer holds up the reading, as a busy printer would.
void LoopbackPrinter::ServeConnection(SOCKET peer) {
  EscPosPrinter printer(behaviour_);
  bool open = true;
  while (open) {
    char chunk[4096];
    const int got = recv(peer, chunk, sizeof(chunk), 0);
    if (got <= 0) break;
    const auto received = std::chrono::steady_clock::now();
    for (const Reply& reply : printer.Receive(Stream(chunk, chunk + got))) {
      std::this_thread::sleep_until(received + std::chrono::milliseconds(reply.delayMs));
      if (reply.close) {
        open = false;
        break;
      }
      send(peer, reinterpret_cast<const char*>(reply.bytes.data()), static_cast<int>(reply.bytes.size()), 0);
    }
  }
  closesocket(peer);
  std::lock_guard<std::mutex> lock(mutex_);
  connections_.push_back(printer.printed());
  requests_.insert(requests_.end(), printer.requests().begin(), printer.requests().end());
  changed_.notify_all();
}

std::vector<std::vector<std::uint8_t>> LoopbackPrinter::WaitForConnections(std::size_t count, DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return connections_.size() >= count; });
  return connections_;
}

std::vector<std::string> LoopbackPrinter::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

}  // namespace dunlith::testing
