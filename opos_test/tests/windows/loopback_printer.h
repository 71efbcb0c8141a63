#pragma once

#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

// A printer on 127.0.0.1:9100, played by the test: it takes connections and records what each
// brought, or, silent, answers no connection request at all.
namespace dunlith::testing {

class LoopbackPrinter {
 public:
  enum class Mode { kReading, kSilent };

  explicit LoopbackPrinter(Mode mode);
  LoopbackPrinter(const LoopbackPrinter&) = delete;
  LoopbackPrinter& operator=(const LoopbackPrinter&) = delete;
  ~LoopbackPrinter();

  bool Listening() const { return listener_ != INVALID_SOCKET; }
  // Waits until |count| connections have ended; what each of them brought.
  std::vector<std::vector<std::uint8_t>> WaitForConnections(std::size_t count, DWORD milliseconds);

 private:
  void Serve();

  SOCKET listener_ = INVALID_SOCKET;
  std::vector<SOCKET> fillers_;
  std::thread server_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::vector<std::uint8_t>> connections_;
  bool stopping_ = false;
};

}  // namespace dunlith::testing
