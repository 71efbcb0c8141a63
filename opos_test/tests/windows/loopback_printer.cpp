#include "loopback_printer.h"

#include <chrono>

namespace dunlith::testing {

namespace {

sockaddr_in Loopback9100() {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(9100);
  return address;
}

}  // namespace

LoopbackPrinter::LoopbackPrinter(Mode mode) {
  WSADATA data{};
  WSAStartup(MAKEWORD(2, 2), &data);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  BOOL reuse = TRUE;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof(reuse));
  sockaddr_in address = Loopback9100();
  if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      listen(listener_, mode == Mode::kSilent ? 0 : SOMAXCONN) != 0) {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    return;
  }
  if (mode == Mode::kSilent) {
    // Nobody accepts, and the queue is full: the system leaves further requests unanswered.
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
    std::vector<std::uint8_t> received;
    char chunk[4096];
    for (;;) {
      const int got = recv(peer, chunk, sizeof(chunk), 0);
      if (got <= 0) break;
      received.insert(received.end(), chunk, chunk + got);
    }
    closesocket(peer);
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.push_back(std::move(received));
    changed_.notify_all();
    if (stopping_) return;
  }
}

std::vector<std::vector<std::uint8_t>> LoopbackPrinter::WaitForConnections(std::size_t count, DWORD milliseconds) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return connections_.size() >= count; });
  return connections_;
}

}  // namespace dunlith::testing
